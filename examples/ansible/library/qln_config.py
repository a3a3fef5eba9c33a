#!/usr/bin/python3
# A Quillon's running configuration from a file, through `qln apply --safe`: the file is
# checked, compared with what the device runs, applied only where it differs, verified, and
# rolled back when the device does not take it. Standard library and Ansible only.
DOCUMENTATION = r"""
module: qln_config
short_description: Apply a configuration file to a Quillon, safely
description:
  - Runs C(qln apply FILE --safe --json). Nothing is sent when the device already runs the file.
  - In check mode only compares (C(--check)): no transfer reaches the device.
  - With C(--diff) the unified diff of the running configuration and the file is returned.
options:
  device: {description: The device's address (qln --device)., required: true, type: str}
  src: {description: The configuration file., required: true, type: path}
  save: {description: Copy the running configuration to ROM once it is verified and answers., type: bool, default: false}
  backup: {description: Where the running configuration before the change is kept as text., type: path}
  allow_address_change: {description: Let the file change the address this PC talks to., type: bool, default: false}
  qln_bin: {description: The qln program., type: str, default: qln}
  local_port: {description: The PC's UIF port (0 any free one)., type: int, default: 0}
  tftp_port: {description: The PC's TFTP port (0 any free one)., type: int, default: 0}
"""

import json

from ansible.module_utils.basic import AnsibleModule

# qln apply --safe: 0 applied or unchanged, 1 failed and rolled back, 3 failed and not rolled back.
ROLLED_BACK = 1


def prepared_diff(doc, src):
    """The hunks as one unified diff, the way `qln diff` prints them."""
    hunks = (doc.get("diff") or {}).get("hunks") or []
    if not hunks:
        return None
    lines = ["--- device running", "+++ " + src]
    for hunk in hunks:
        lines.append(hunk.get("header", ""))
        lines.extend(hunk.get("lines", []))
    return "\n".join(lines) + "\n"


def main():
    module = AnsibleModule(
        argument_spec=dict(
            device=dict(type="str", required=True),
            src=dict(type="path", required=True),
            save=dict(type="bool", default=False),
            backup=dict(type="path"),
            allow_address_change=dict(type="bool", default=False),
            qln_bin=dict(type="str", default="qln"),
            local_port=dict(type="int", default=0),
            tftp_port=dict(type="int", default=0),
        ),
        supports_check_mode=True,
    )
    p = module.params
    cmd = [p["qln_bin"], "--device", p["device"], "--local-port", str(p["local_port"]),
           "--tftp-port", str(p["tftp_port"]), "apply", p["src"], "--safe", "--json"]
    if module.check_mode:
        cmd.append("--check")
    else:
        if p["save"]:
            cmd.append("--save")
        if p["backup"]:
            cmd += ["--backup", p["backup"]]
    if p["allow_address_change"]:
        cmd.append("--allow-address-change")

    rc, out, err = module.run_command(cmd)
    lines = [line for line in err.splitlines() if line.strip()]
    try:
        doc = json.loads(out) if out.strip() else None
    except ValueError:
        doc = None
    if doc is None:
        # A usage error or a file that does not convert: qln's own lines say why.
        module.fail_json(msg="\n".join(lines) or "qln ended with status %d" % rc, rc=rc,
                         cmd=cmd, rolled_back=False, changed=False)

    differs = bool(doc.get("changed"))
    if module.check_mode:
        changed = differs
    else:
        # Only a configuration the device now runs counts as a change.
        changed = differs and bool(doc.get("applied")) and not doc.get("rolled_back")
    result = dict(changed=changed, rc=rc, device=doc.get("device"), applied=doc.get("applied"),
                  verified=doc.get("verified"), rolled_back=bool(doc.get("rolled_back")),
                  saved=doc.get("saved"), backup=doc.get("backup"), lines=lines)
    if module._diff and differs:
        text = prepared_diff(doc, p["src"])
        if text:
            result["diff"] = dict(prepared=text)
    if rc != 0:
        # The error and the run's last lines; every line is in `lines`.
        result["msg"] = "\n".join(([doc["error"]] if doc.get("error") else []) + lines[-3:])
        module.fail_json(**result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
