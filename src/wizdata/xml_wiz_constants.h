// Element names and paths of the wizard data document (the project file).
// Every subsystem reads and writes the document through these names.
#pragma once

#include <string_view>

namespace tvk::wiz {

inline constexpr std::string_view kRoot = "TVKWizardData";
inline constexpr std::string_view kVersionAttribute = "Version";

inline constexpr std::string_view kTrue = "TRUE";
inline constexpr std::string_view kFalse = "FALSE";
inline constexpr std::string_view kNA = "NA";

// Top-level values.
inline constexpr std::string_view ProjectType = "ProjectType";
inline constexpr std::string_view ProjectStyle = "ProjectStyle";
inline constexpr std::string_view ProjectName = "ProjectName";
inline constexpr std::string_view WizardDataFile = "WizardDataFile";
inline constexpr std::string_view FileDirectory = "FileDirectory";
inline constexpr std::string_view StylesheetDirectory = "StylesheetDirectory";
inline constexpr std::string_view GraphicsDirectory = "GraphicsDirectory";
inline constexpr std::string_view IncludeDirectory = "IncludeDirectory";
inline constexpr std::string_view FinishEnabled = "FinishEnabled";

// Project types and styles.
inline constexpr std::string_view kTypeList = "List";
inline constexpr std::string_view kTypeForm = "Form";
inline constexpr std::string_view kTypeListForm = "ListForm";
inline constexpr std::string_view kStyleClassic = "Classic";
inline constexpr std::string_view kStyleProfessional = "Professional";
inline constexpr std::string_view kStyleXP = "XP";
inline constexpr std::string_view kStyleBasic = "Basic";

// Database connection.
inline constexpr std::string_view DatabaseConnection = "DatabaseConnection";
inline constexpr std::string_view DataSourceType = "DatabaseConnection/DataSourceType";
inline constexpr std::string_view ConnectionStringText = "DatabaseConnection/ConnectionStringText";
inline constexpr std::string_view GlobalASADataSourceName = "DatabaseConnection/GlobalASADataSourceName";
inline constexpr std::string_view GlobalASAPath = "DatabaseConnection/GlobalASAPath";
inline constexpr std::string_view DataProvider = "DatabaseConnection/DataProvider";
// How names are quoted in the SQL of the pages (gfsSqlDialectName); a
// project without it keeps the blank-only brackets.
inline constexpr std::string_view SQLDialect = "DatabaseConnection/SQLDialect";
inline constexpr std::string_view kSourceConnectionString = "ConnectionString";
inline constexpr std::string_view kSourceGlobalASA = "GlobalASADataSource";

// Data source.
inline constexpr std::string_view DataSource = "DataSource";
inline constexpr std::string_view TableName = "DataSource/TableName";
inline constexpr std::string_view TableReadOnly = "DataSource/TableReadOnly";
inline constexpr std::string_view PrimaryKey = "DataSource/PrimaryKey";
inline constexpr std::string_view SQLStatement = "DataSource/SQLStatement";
// Named by the format but read and written by nothing.
inline constexpr std::string_view TableSourceType = "DataSource/TableSourceType";
inline constexpr std::string_view CustomSQLStatement = "DataSource/CustomSQLStatement";

// List options.
inline constexpr std::string_view ListOptions = "ListOptions";
inline constexpr std::string_view ListAllowAddRecord = "ListOptions/AllowAddRecord";
inline constexpr std::string_view ListAllowUpdateRecord = "ListOptions/AllowUpdateRecord";
inline constexpr std::string_view ListAllowDeleteRecord = "ListOptions/AllowDeleteRecord";
inline constexpr std::string_view AllowPaging = "ListOptions/Paging/AllowPaging";
inline constexpr std::string_view RecordsPerPage = "ListOptions/Paging/RecordsPerPage";
inline constexpr std::string_view ListSkip1Buttons = "ListOptions/Paging/Skip1HavigationButtons";
inline constexpr std::string_view ListSkipEndButtons = "ListOptions/Paging/SkipEndHavigationButtons";
inline constexpr std::string_view PageNumberAllowPaging = "ListOptions/Paging/PageNumberNavigation/AllowPaging";
inline constexpr std::string_view MaxDirectPages = "ListOptions/Paging/PageNumberNavigation/MaxDirectPages";

// Form options.
inline constexpr std::string_view FormOptions = "FormOptions";
inline constexpr std::string_view AllowNavigation = "FormOptions/Navigation/AllowNavigation";
inline constexpr std::string_view FormSkip1Buttons = "FormOptions/Navigation/Skip1HavigationButtons";
inline constexpr std::string_view FormSkipEndButtons = "FormOptions/Navigation/SkipEndHavigationButtons";
inline constexpr std::string_view DisplayRecordNo = "FormOptions/Navigation/DisplayRecordNo";
inline constexpr std::string_view FormAllowAddRecord = "FormOptions/AllowAddRecord";
inline constexpr std::string_view FormAllowUpdateRecord = "FormOptions/AllowUpdateRecord";
inline constexpr std::string_view FormAllowDeleteRecord = "FormOptions/AllowDeleteRecord";

// Fields: "Fields/Field" records; the paths below are relative to a Field.
inline constexpr std::string_view Fields = "Fields";
inline constexpr std::string_view Field = "Field";
inline constexpr std::string_view FieldsField = "Fields/Field";
inline constexpr std::string_view FieldName = "FieldName";
inline constexpr std::string_view ColumnLabel = "ColumnLabel";
inline constexpr std::string_view DataType = "DataType";
inline constexpr std::string_view DataTypeDesc = "DataTypeDesc";
inline constexpr std::string_view FieldSize = "FieldSize";
inline constexpr std::string_view FieldRequired = "FieldRequired";
inline constexpr std::string_view FieldReadOnly = "FieldReadOnly";
inline constexpr std::string_view LookupTable = "LookupTable";
inline constexpr std::string_view UseLookupTable = "LookupTable/UseLookupTable";
inline constexpr std::string_view LookupTableName = "LookupTable/LookupTableName";
inline constexpr std::string_view LookupJoinField = "LookupTable/LookupJoinField";
inline constexpr std::string_view LookupShowField = "LookupTable/LookupShowField";
inline constexpr std::string_view LookupTableType = "LookupTable/LookupTableType";
inline constexpr std::string_view LookupDisplayType = "LookupTable/LookupDisplayType";
inline constexpr std::string_view LookupShowFieldAlias = "LookupTable/LookupShowFieldAlias";
// The name a lookup table is joined under when the statement names its table
// already (the page's own table, or an earlier lookup's); empty otherwise.
inline constexpr std::string_view LookupTableAlias = "LookupTable/LookupTableAlias";
inline constexpr std::string_view LookupArray = "LookupTable/LookupArray";
inline constexpr std::string_view LookupArrayRow = "LookupTable/LookupArray/Row";
inline constexpr std::string_view Row = "Row";
inline constexpr std::string_view JoinField = "JoinField";
inline constexpr std::string_view DisplayField = "DisplayField";
inline constexpr std::string_view kLookupDatabaseTable = "DatabaseTable";
inline constexpr std::string_view kLookupManualList = "ManualList";
inline constexpr std::string_view kLookupSelectList = "SelectList";
inline constexpr std::string_view AllowSorting = "AllowSorting";
inline constexpr std::string_view AllowFiltering = "AllowFiltering";
inline constexpr std::string_view ListShowField = "ListFieldOptions/ShowField";
inline constexpr std::string_view ListFieldOrder = "ListFieldOptions/FieldOrder";
inline constexpr std::string_view FormShowField = "FormFieldOptions/ShowField";
inline constexpr std::string_view FormFieldOrder = "FormFieldOptions/FieldOrder";

}  // namespace tvk::wiz
