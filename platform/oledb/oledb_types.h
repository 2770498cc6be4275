// Scalar types, handles and structures of the data-access interfaces.
//
// Lengths, ordinals, offsets and counts are 32-bit, as on the platform the
// interfaces were designed for; handles (rows, accessors, chapters) are
// pointer-sized so a provider may keep a pointer in them.
#pragma once

#include "unknwn.h"
#include "wtypes.h"

struct ITypeInfo;
// Only ever passed by pointer here; the full definition belongs to Automation.
struct DISPPARAMS;
typedef LONG DISPID;
typedef signed char SBYTE;

typedef ULONG DBLENGTH;
typedef LONG DBROWOFFSET;
typedef LONG DBROWCOUNT;
typedef ULONG DBCOUNTITEM;
typedef ULONG DBORDINAL;
typedef LONG DBLENGTHSIGNED;
typedef ULONG DBBKMARK;
typedef ULONG DBBYTEOFFSET;
typedef ULONG DBREFCOUNT;
typedef ULONG DB_UPARAMS;
typedef LONG DB_LPARAMS;
typedef DWORD DBHASHVALUE;
typedef DWORD DB_DWRESERVE;
typedef LONG DB_LRESERVE;
typedef ULONG DB_URESERVE;

typedef ULONG_PTR HACCESSOR;
typedef ULONG_PTR HROW;
typedef ULONG_PTR HWATCHREGION;
typedef ULONG_PTR HCHAPTER;
typedef ULONG_PTR HWORLD;

typedef WORD DBTYPE;
typedef DWORD DBKIND;
typedef DWORD DBPART;
typedef DWORD DBPARAMIO;
typedef DWORD DBMEMOWNER;
typedef DWORD DBSTATUS;
typedef DWORD DBROWSTATUS;
typedef DWORD DBROWOPTIONS;
typedef DWORD DBCOLUMNFLAGS;
typedef DWORD DBCOLUMNDESCFLAGS;
typedef DWORD DBPARAMFLAGS;
typedef DWORD DBPROPID;
typedef DWORD DBPROPFLAGS;
typedef DWORD DBPROPOPTIONS;
typedef DWORD DBPROPSTATUS;
typedef DWORD DBACCESSORFLAGS;
typedef DWORD DBBINDSTATUS;
typedef DWORD DBCOMPARE;
typedef DWORD DBCOMPAREOP;
typedef DWORD DBCONVERTFLAGS;
typedef DWORD DBLITERAL;
typedef DWORD DBSOURCETYPE;
typedef DWORD DBEVENTPHASE;
typedef DWORD DBREASON;
typedef DWORD DBASYNCHOP;
typedef DWORD DBASYNCHPHASE;
typedef DWORD DBSORT;
typedef DWORD DBCOMMANDPERSISTFLAG;
typedef DWORD DBCONSTRAINTTYPE;
typedef DWORD DBUPDELRULE;
typedef DWORD DBMATCHTYPE;
typedef DWORD DBDEFERRABILITY;
typedef DWORD DBINDEX_COL_ORDER;
typedef DWORD DBPOSITIONFLAGS;
typedef DWORD DBPENDINGSTATUS;
typedef DWORD DBSEEK;
typedef DWORD DBRANGE;
typedef DB_LRESERVE DBRESULTFLAG;
typedef WORD DBPROMPT;

// Identifies a column, table, index or other object: by GUID, name or
// number, or a combination, as eKind tells.
struct DBID {
  union {
    GUID guid;
    GUID* pguid;
  } uGuid;
  DBKIND eKind;
  union {
    LPOLESTR pwszName;
    ULONG ulPropid;
  } uName;
};

struct DBDATE {
  SHORT year;
  USHORT month;
  USHORT day;
};

struct DBTIME {
  USHORT hour;
  USHORT minute;
  USHORT second;
};

struct DBTIMESTAMP {
  SHORT year;
  USHORT month;
  USHORT day;
  USHORT hour;
  USHORT minute;
  USHORT second;
  ULONG fraction;  // billionths of a second
};

inline constexpr int DB_MAX_NUMERIC_LEN = 16;
struct DB_NUMERIC {
  BYTE precision;
  BYTE scale;
  BYTE sign;                     // 1 positive, 0 negative
  BYTE val[DB_MAX_NUMERIC_LEN];  // little-endian magnitude
};

struct DB_VARNUMERIC {
  BYTE precision;
  SBYTE scale;
  BYTE sign;
  BYTE val[1];
};

struct DBVECTOR {
  DBLENGTH size;
  void* ptr;
};

struct DBOBJECT {
  DWORD dwFlags;
  IID iid;
};

struct DBBINDEXT {
  BYTE* pExtension;
  DBCOUNTITEM ulExtension;
};

// One column or parameter of an accessor: where its value, length and
// status live in the consumer's buffer, and the type to convert to.
struct DBBINDING {
  DBORDINAL iOrdinal;
  DBBYTEOFFSET obValue;
  DBBYTEOFFSET obLength;
  DBBYTEOFFSET obStatus;
  ITypeInfo* pTypeInfo;
  DBOBJECT* pObject;
  DBBINDEXT* pBindExt;
  DBPART dwPart;
  DBMEMOWNER dwMemOwner;
  DBPARAMIO eParamIO;
  DBLENGTH cbMaxLen;
  DWORD dwFlags;
  DBTYPE wType;
  BYTE bPrecision;
  BYTE bScale;
};

struct DBCOLUMNINFO {
  LPOLESTR pwszName;
  ITypeInfo* pTypeInfo;
  DBORDINAL iOrdinal;
  DBCOLUMNFLAGS dwFlags;
  DBLENGTH ulColumnSize;
  DBTYPE wType;
  BYTE bPrecision;
  BYTE bScale;
  DBID columnid;
};

struct DBPARAMS {
  void* pData;
  DB_UPARAMS cParamSets;
  HACCESSOR hAccessor;
};

struct DBPARAMINFO {
  DBPARAMFLAGS dwFlags;
  DBORDINAL iOrdinal;
  LPOLESTR pwszName;
  ITypeInfo* pTypeInfo;
  DBLENGTH ulParamSize;
  DBTYPE wType;
  BYTE bPrecision;
  BYTE bScale;
};

struct DBPARAMBINDINFO {
  LPOLESTR pwszDataSourceType;
  LPOLESTR pwszName;
  DBLENGTH ulParamSize;
  DBPARAMFLAGS dwFlags;
  BYTE bPrecision;
  BYTE bScale;
};

struct DBIMPLICITSESSION {
  IUnknown* pUnkOuter;
  IID* piid;
  IUnknown* pSession;
};

struct DBPROP {
  DBPROPID dwPropertyID;
  DBPROPOPTIONS dwOptions;
  DBPROPSTATUS dwStatus;
  DBID colid;
  VARIANT vValue;
};

struct DBPROPSET {
  DBPROP* rgProperties;
  ULONG cProperties;
  GUID guidPropertySet;
};

struct DBPROPIDSET {
  DBPROPID* rgPropertyIDs;
  ULONG cPropertyIDs;
  GUID guidPropertySet;
};

struct DBPROPINFO {
  LPOLESTR pwszDescription;
  DBPROPID dwPropertyID;
  DBPROPFLAGS dwFlags;
  VARTYPE vtType;
  VARIANT vValues;
};
typedef DBPROPINFO* PDBPROPINFO;

struct DBPROPINFOSET {
  PDBPROPINFO rgPropertyInfos;
  ULONG cPropertyInfos;
  GUID guidPropertySet;
};

struct DBLITERALINFO {
  LPOLESTR pwszLiteralValue;
  LPOLESTR pwszInvalidChars;
  LPOLESTR pwszInvalidStartingChars;
  DBLITERAL lt;
  BOOL fSupported;
  ULONG cchMaxLen;
};

struct DBINDEXCOLUMNDESC {
  DBID* pColumnID;
  DBINDEX_COL_ORDER eIndexColOrder;
};

struct DBCOLUMNDESC {
  LPOLESTR pwszTypeName;
  ITypeInfo* pTypeInfo;
  DBPROPSET* rgPropertySets;
  CLSID* pclsid;
  ULONG cPropertySets;
  DBLENGTH ulColumnSize;
  DBID dbcid;
  DBTYPE wType;
  BYTE bPrecision;
  BYTE bScale;
};

struct DBCOLUMNACCESS {
  void* pData;
  DBID columnid;
  DBLENGTH cbDataLen;
  DBSTATUS dwStatus;
  DBLENGTH cbMaxLen;
  DB_DWRESERVE dwReserved;
  DBTYPE wType;
  BYTE bPrecision;
  BYTE bScale;
};

struct DBFAILUREINFO {
  HROW hRow;
  DBORDINAL iColumn;
  HRESULT failure;
};

// The basic part of an error record kept by an error object.
struct ERRORINFO {
  HRESULT hrError;
  DWORD dwMinor;
  CLSID clsid;
  IID iid;
  DISPID dispid;
};
