// Providers with a connection page of their own register it here by class
// id; Data Links and the providers' prompt then show it instead of the
// plain property form. The provider that registered first is the one Data
// Links selects when nothing else is chosen.
#pragma once

#include <functional>

#include <QString>

#include "oledb.h"

class CConnectionPage;
class QWidget;

using ConnectionPageFactory = std::function<CConnectionPage*(QWidget* parent)>;

// Registering a class id again replaces its page but keeps its place.
void RegisterConnectionPage(REFCLSID provider, ConnectionPageFactory factory);
// Null when the provider registered no page.
ConnectionPageFactory FindConnectionPage(REFCLSID provider);
// The first provider that registered a page; GUID_NULL when none did.
CLSID DefaultConnectionProvider();

// The data source a page offers when its field is empty (the program's
// sample); the program sets it, nothing does by default.
void SetSampleDataSource(std::function<QString()> sample);
QString SampleDataSource();

// Registers a page from a static object in the provider's page library.
struct CConnectionPageRegistrar {
  CConnectionPageRegistrar(REFCLSID provider, ConnectionPageFactory factory) {
    RegisterConnectionPage(provider, std::move(factory));
  }
};
