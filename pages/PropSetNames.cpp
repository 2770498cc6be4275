#include "PropSetNames.h"

#include <cstring>

#include "GuidNameText.h"

namespace {

struct PropSetName {
  GUID guid;
  const char* name;
};

// Sets of one origin share all but the first field or two of their GUIDs.
constexpr GUID Family(const GUID& first, uint32_t data1, uint16_t data2) {
  return GUID{data1, data2, first.Data3, {first.Data4[0], first.Data4[1], first.Data4[2], first.Data4[3],
                                          first.Data4[4], first.Data4[5], first.Data4[6], first.Data4[7]}};
}
constexpr GUID Family(const GUID& first, uint32_t data1) { return Family(first, data1, first.Data2); }

constexpr GUID kCore = {0xC8B522B9, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
constexpr GUID kSqlServer = {0x5CF4CA10, 0xEF21, 0x11D0, {0x97, 0xE7, 0x00, 0xC0, 0x4F, 0xC2, 0xAD, 0x98}};
constexpr GUID kSqlServerSource = {0x28EFAEE4, 0x2D2C, 0x11D1, {0x98, 0x07, 0x00, 0xC0, 0x4F, 0xC2, 0xAD, 0x98}};
constexpr GUID kJet = {0xB20F6C12, 0x9B2A, 0x11D0, {0x9E, 0xBD, 0x00, 0xC0, 0x4F, 0xC2, 0xC2, 0xE0}};
// The bridge family's provider-specific sets, named by their role.
constexpr GUID kProviderSpecificFamily = {0x497C60E0, 0x7123, 0x11CF, {0xB1, 0x71, 0x00, 0xAA, 0x00, 0x57, 0x59, 0x9E}};
constexpr GUID kRemote = {0x27016873, 0x8E02, 0x11D1, {0x92, 0x4E, 0x00, 0xC0, 0x4F, 0xBB, 0xBF, 0xB3}};

// Searched in this order; the first equal GUID wins.
constexpr PropSetName kPropSetNames[] = {
    {kCore, "DBPROPSET_COLUMN"},
    {Family(kCore, 0xC8B522BA), "DBPROPSET_DATASOURCE"},
    {Family(kCore, 0xC8B522BB), "DBPROPSET_DATASOURCEINFO"},
    {Family(kCore, 0xC8B522BD), "DBPROPSET_INDEX"},
    {Family(kCore, 0xC8B522BC), "DBPROPSET_DBINIT"},
    {Family(kCore, 0xC8B522BE), "DBPROPSET_ROWSET"},
    {Family(kCore, 0xC8B522C6), "DBPROPSET_SESSION"},
    {Family(kCore, 0xC8B522BF), "DBPROPSET_TABLE"},
    {Family(kCore, 0xC8B522DF), "DBPROPSET_VIEW"},
    {Family(kCore, 0xC8B522D4), "DBPROPSET_PROPERTIESINERROR"},
    {kSqlServer, "DBPROPSET_SQLSERVERDBINIT"},
    {Family(kSqlServer, 0x5CF4CA11), "DBPROPSET_SQLSERVERROWSET"},
    {kSqlServerSource, "DBPROPSET_SQLSERVERDATASOURCE"},
    {{0xDF10CB94, 0x35F6, 0x11D2, {0x9C, 0x54, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xD3}},
     "DBPROPSET_SQLSERVERDATASOURCEINFO"},
    {Family(kSqlServerSource, 0x28EFAEE5), "DBPROPSET_SQLSERVERSESSION"},
    {{0xA69DE420, 0x0025, 0x11D0, {0xBC, 0x9C, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xC2}}, "DBPROPSET_JETOLEDB_ROWSET"},
    {kJet, "DBPROPSET_JETOLEDB_SESSION"},
    {Family(kJet, 0x82CF8156, 0x9B40), "DBPROPSET_JETOLEDB_DBINIT"},
    {Family(kJet, 0xE64CC5FC, 0x9FF2), "DBPROPSET_JETOLEDB_TABLE"},
    {{0x820BF922, 0x6AC8, 0x11D1, {0x9F, 0x02, 0x00, 0xC0, 0x4F, 0xC2, 0xC2, 0xE0}}, "DBPROPSET_JETOLEDB_COLUMN"},
    {{0xC9E19286, 0x9B4A, 0x11D1, {0x9F, 0x0A, 0x00, 0xC0, 0x4F, 0xC2, 0xC2, 0xE0}}, "DBPROPSET_JETOLEDB_TRUSTEE"},
    {{0xE8CC4CBD, 0xFDFF, 0x11D0, {0xB8, 0x65, 0x00, 0xA0, 0xC9, 0x08, 0x1C, 0x1D}}, "DBPROPSET_MSDAORA_ROWSET"},
    {kProviderSpecificFamily, "DBPROPSET_PROVIDERDATASOURCEINFO"},
    {Family(kProviderSpecificFamily, 0x497C60E1), "DBPROPSET_PROVIDERROWSET"},
    {Family(kProviderSpecificFamily, 0x497C60E2), "DBPROPSET_PROVIDERDBINIT"},
    {Family(kProviderSpecificFamily, 0x497C60E3), "DBPROPSET_PROVIDERSTMTATTR"},
    {Family(kProviderSpecificFamily, 0x497C60E4), "DBPROPSET_PROVIDERCONNATTR"},
    {{0x55CB91A8, 0x5C7A, 0x11D1, {0xAD, 0xAD, 0x00, 0xC0, 0x4F, 0xC2, 0x98, 0x63}}, "DBPROPSET_MSDSDBINIT"},
    {{0xEDF17536, 0xAFBF, 0x11D1, {0x88, 0x47, 0x00, 0x00, 0xF8, 0x79, 0xF9, 0x8C}}, "DBPROPSET_MSDSSESSION"},
    {{0xE6E478DB, 0xF226, 0x11D0, {0x94, 0xEE, 0x00, 0xC0, 0x4F, 0xB6, 0x6A, 0x50}}, "DBPROPSET_PWROWSET"},
    {{0xB68E3CC1, 0x6DEB, 0x11D0, {0x8D, 0xF6, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58}}, "DBPROPSET_ADC"},
    {kRemote, "DBPROPSET_MSREMOTE_DBINIT"},
    {Family(kRemote, 0x27016874), "DBPROPSET_MSREMOTE_DATASOURCE"},
    {{0x4D7839A0, 0x5B8E, 0x11D1, {0xA6, 0xB3, 0x00, 0xA0, 0xC9, 0x13, 0x8C, 0x66}}, "DBPROPSET_PERSIST"},
};
constexpr ULONG kPropSetNameCount = sizeof kPropSetNames / sizeof kPropSetNames[0];
static_assert(kPropSetNameCount == 34);

}  // namespace

const char* GetPropSetName(const GUID* pPropSet) {
  if (!pPropSet) return "";
  for (ULONG i = 0; i < kPropSetNameCount; ++i)
    if (std::memcmp(&kPropSetNames[i].guid, pPropSet, sizeof(GUID)) == 0) return kPropSetNames[i].name;
  return GuidNameText(*pPropSet);
}
