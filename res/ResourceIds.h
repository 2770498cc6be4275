// Identifiers of the application's resources and of the controls in its
// dialog templates. Controls of different dialogs may share a number; each
// name says which dialog it belongs to.
#pragma once

// Dialog templates.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_CONNECTION_STRING = 103;
constexpr int IDD_SCHEMA_VIEWER = 129;
constexpr int IDD_ROWSET_VIEWER = 130;
constexpr int IDD_TABLE_ANALYZER = 131;
constexpr int IDD_PROPERTIES_BROWSER = 134;
constexpr int IDD_ENUMERATOR = 135;
constexpr int IDD_COMMAND_PROCESSOR = 136;

// Icon and strings.
constexpr int IDR_MAINFRAME = 128;
constexpr unsigned IDS_ABOUTBOX = 101;

// The system menu's About entry.
constexpr unsigned IDM_ABOUTBOX = 0x0010;

// About (100).
constexpr int IDC_UPDATE_LINK = 1010;

// Connection String Builder (103).
constexpr int IDC_CONNECTION_STRING = 1000;
constexpr int IDC_COPY = 1001;
constexpr int IDC_BUILD = 1002;
constexpr int IDC_CONNECT = 1003;

// Rowset viewer (130).
constexpr int IDC_ROWSET_LIST = 1000;

// Enumerator (135).
constexpr int IDC_ENUM_LIST = 1002;
constexpr int IDC_ENUM_CONNECT = 1003;

// Table Analyzer (131).
constexpr int IDC_TABLES_SCHEMA = 1001;
constexpr int IDC_TABLE_LIST = 1002;
constexpr int IDC_TABLES_CONNECT = 1003;
constexpr int IDC_TABLES_DATA = 1004;

// Schema Viewer (129).
constexpr int IDC_SCHEMA_LIST = 1000;
constexpr int IDC_RESTRICTION_LIST = 1002;
constexpr int IDC_GET_SCHEMA = 1003;
constexpr int IDC_SET_VALUE = 1004;
constexpr int IDC_SCHEMA_CONNECT = 1006;
constexpr int IDC_RESTRICTION_VALUE = 1007;

// Properties Browser (134).
constexpr int IDC_PROPERTY_VALUE = 1000;
constexpr int IDC_PROPS_CONNECT = 1003;
constexpr int IDC_PROPSET_LIST = 1008;
constexpr int IDC_PROPERTY_LIST = 1009;

// Command Processor (136).
constexpr int IDC_COMMAND_TEXT = 1000;
constexpr int IDC_COMMAND_CONNECT = 1003;
constexpr int IDC_EXECUTE = 1013;
constexpr int IDC_COMMAND_STATUS = 1014;  // what the last command without rows did
