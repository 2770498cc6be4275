#include "DataLinksFixture.h"

#include "PropertyText.h"

std::string InitPropertyText(IUnknown* dataSource, DBPROPID id) {
  ComPtr<IDBProperties> properties;
  if (!dataSource || FAILED(dataSource->QueryInterface(IID_IDBProperties, properties.ReleaseAndGetVoidAddress())))
    return "<no IDBProperties>";
  DBPROPID ids[] = {id};
  DBPROPIDSET wanted{ids, 1, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  if (FAILED(properties->GetProperties(1, &wanted, &count, &sets))) return "<failed>";
  std::string text = "<unset>";
  if (count == 1 && sets[0].cProperties == 1) {
    DBPROP& prop = sets[0].rgProperties[0];
    if (prop.dwStatus == DBPROPSTATUS_OK && prop.vValue.vt != VT_EMPTY)
      text = PropertyValueToText(prop.vValue).toStdString();
    VariantClear(&prop.vValue);
    CoTaskMemFree(sets[0].rgProperties);
  }
  CoTaskMemFree(sets);
  return text;
}
