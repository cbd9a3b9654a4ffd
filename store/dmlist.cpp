#include "store/dmlist.h"

#include "platform/rtl/sysutils.h"
#include "store/dmunit.h"

Tdm_list* dm_list = nullptr;

namespace {

// The table of each code list, by tag from 10 on.
constexpr const char16_t* ListTables[] = {
    u"MD_language",             u"MD_characterSet",
    u"CI_DateTypeCode",         u"CI_RoleCode",
    u"CI_PresentationFormCode", u"MD_ProGressCode",
    u"MD_SpatialRepresentationTypeCode", u"MD_TopicCategoryCode",
    u"CH_DataCategoryCode",     u"CH_VerticalDatumCode",
    u"CH_StandardTimeCode",     u"MD_MaintenanceFrequencyCode",
    u"MD_KeywordTypeCode",      u"MD_RestrictionCode",
    u"CH_PlatformTypeCode",     u"MD_AssociationTypeCode",
    u"MD_ScopeCode",            u"CH_CoordinateSystemCode",
    u"CH_EllipsoidCode",        u"CI_OnLineFunctionCode",
    u"MD_MediumNameCode",
};

bool IsListTag(Integer N) { return N >= Tdm_list::FirstList && N <= Tdm_list::LastList; }

}  // namespace

Tdm_list::Tdm_list(TComponent* AOwner, TADOConnection* Connection) : TComponent(AOwner) {
  SetName(u"dm_list");
  if (!Connection && dm) Connection = dm->ADOConnection1;
  for (Integer n = FirstList; n <= LastList; ++n) {
    auto* query = new TADOQuery(this);
    query->SetName(u"aq_list" + IntToStr(n));
    query->SetConnection(Connection);
    query->SetCursorType(ctStatic);
    String sql = u"select  code,ename,cname  from " + ListTableName(n);
    if (n == 14) sql += u" ";  // this one statement ends in a blank
    query->SQL()->Add(sql);
    auto* source = new TDataSource(this);
    source->SetName(u"ds_list" + IntToStr(n));
    source->SetDataSet(query);
    FQueries[n - FirstList] = query;
    FSources[n - FirstList] = source;
  }
}

Tdm_list::~Tdm_list() {
  if (dm_list == this) dm_list = nullptr;
}

TADOQuery* Tdm_list::aq_list(Integer N) const { return IsListTag(N) ? FQueries[N - FirstList] : nullptr; }

TDataSource* Tdm_list::ds_list(Integer N) const { return IsListTag(N) ? FSources[N - FirstList] : nullptr; }

String Tdm_list::ListTableName(Integer N) { return IsListTag(N) ? String(ListTables[N - FirstList]) : String(); }

void Tdm_list::OpenCodeLists() {
  for (TADOQuery* query : FQueries)
    if (!query->Active()) query->Open();
}
