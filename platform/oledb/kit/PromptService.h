// The prompt a provider shows when DBPROP_INIT_PROMPT allows it: the user
// interface registers one (the Data Links connection page); without one,
// prompting ends as a cancel.
#pragma once

#include <functional>

#include "oledb.h"

// Shows the connection page for the data source `properties` of the provider
// `provider`, owned by `owner`; fills the chosen values into `properties`.
// Returns S_OK, or DB_E_CANCELED when the user cancels.
using DataSourcePrompt =
    std::function<HRESULT(HWND owner, DBPROMPT prompt, REFCLSID provider, IDBProperties* properties)>;

// Returns the previous prompt.
DataSourcePrompt SetDataSourcePrompt(DataSourcePrompt prompt);
DataSourcePrompt GetDataSourcePrompt();
