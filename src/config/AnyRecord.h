#pragma once
// Any configuration record, chosen by its code: the reader for a record of unknown kind, and the
// builder that writes it back (a read record rebuilt with the same Ident gives the same bytes).
#include "config/ConfigRecords.h"

#include <optional>
#include <variant>

namespace config {

using AnyRecord = std::variant<IfconfigRecord, RsconfigRecord, RouteRecord, RsrouteRecord, ArpRecord, RsarpRecord,
                               Rsroute2Record, DhcpInterfaceRecord, DhcpServerValueRecord, DhcpDnsRecord,
                               DhcpScopeRecord, DhcpValueRecord, RipValueRecord, RipPasswordRecord, Word16Record,
                               PortfilterRecord, Long32Record, TestModeRecord, TdmaparamRecord, TdmatuneRecord,
                               Byte8Record, CommunityRecord, AccessListRecord, AccessRecord>;

// Nothing for a code that is not a configuration code.
std::optional<AnyRecord> ReadAnyRecord(const QByteArray& record);

// Builds the record for its head.code into UIFRequestBuf. False, with nothing built, for a code
// that no line produces (62, or a code that does not fit the struct).
bool BuildAnyRecord(frmUIF& uif, const AnyRecord& record);

}  // namespace config
