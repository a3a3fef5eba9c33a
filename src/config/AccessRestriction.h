#pragma once
// The access restriction of one service: "allow_all", "deny_all" or up to four access-list
// numbers 0..16, read after "<service> access".
#include "config/ConfigCommands.h"

namespace config {

// Reads the restriction into `r` (lists and countOrMode); false at a bad word or number.
bool ReadAccessRestriction(TokenCursor& t, AccessRecord& r);

// Drops repeated numbers in place. An empty slot never equals another, and a slot is compared as
// it stands at that moment, so a gap can remain: 1 1 1 2 ends as 1, empty, empty, 2.
void RemoveDuplicateSlots(Slots& lists);

// Makes the access record of a service and hands it to the sink.
qint32 ParseAccessRestriction(CommandContext& c, qint32 kind);

}  // namespace config
