#!/usr/bin/python3
# A Quillon's live tables as facts: `qln check all --json` as ansible_facts.quillon.
DOCUMENTATION = r"""
module: qln_facts
short_description: The status queries of a Quillon as facts
options:
  device: {description: The device's address (qln --device)., required: true, type: str}
  qln_bin: {description: The qln program., type: str, default: qln}
  local_port: {description: The PC's UIF port (0 any free one)., type: int, default: 0}
"""

import json

from ansible.module_utils.basic import AnsibleModule


def main():
    module = AnsibleModule(
        argument_spec=dict(
            device=dict(type="str", required=True),
            qln_bin=dict(type="str", default="qln"),
            local_port=dict(type="int", default=0),
        ),
        supports_check_mode=True,
    )
    p = module.params
    cmd = [p["qln_bin"], "--device", p["device"], "--local-port", str(p["local_port"]), "check", "all", "--json"]
    # Queries only read the device: check mode runs them too.
    rc, out, err = module.run_command(cmd)
    try:
        doc = json.loads(out) if out.strip() else None
    except ValueError:
        doc = None
    if rc != 0 or doc is None:
        lines = [line for line in err.splitlines() if line.strip()]
        # The run's last lines say what failed; every line is in `lines`.
        module.fail_json(msg="\n".join(lines[-2:]) or "qln ended with status %d" % rc, rc=rc, cmd=cmd, lines=lines)
    module.exit_json(changed=False, ansible_facts=dict(quillon=doc))


if __name__ == "__main__":
    main()
