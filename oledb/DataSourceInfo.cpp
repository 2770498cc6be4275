#include "DataSourceInfo.h"

#include "ReleasePropertySet.h"

bool ReadDataSourceInfo(IUnknown* dataSource, DBPROPID id, VARIANT& value) {
  VariantInit(&value);
  IDBProperties* properties = nullptr;
  if (FAILED(dataSource->QueryInterface(IID_IDBProperties, reinterpret_cast<void**>(&properties)))) return false;
  DBPROPIDSET idSet{&id, 1, DBPROPSET_DATASOURCEINFO};
  ULONG setCount = 0;
  DBPROPSET* sets = nullptr;
  const HRESULT hr = properties->GetProperties(1, &idSet, &setCount, &sets);
  const bool found = SUCCEEDED(hr) && setCount > 0 && sets && sets[0].cProperties > 0 && sets[0].rgProperties;
  if (found) VariantCopy(&value, &sets[0].rgProperties[0].vValue);
  ReleasePropertySets(setCount, sets);
  properties->Release();
  return found;
}
