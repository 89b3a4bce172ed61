// Times the generator on a list-with-form project: 100 fields, every one on
// both pages, 10 of them looked up in other tables and 5 in hand-made
// lists, every data action and navigation on. Prints the time of one whole
// GenerateFiles run (both pages, the include files and the style's files)
// and of the form page text alone.
//   build/bench_generate_form [fields]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "database/sql_statement_builder.h"
#include "generator/form_page.h"
#include "generator/gen_context.h"
#include "generator/tvk_file_creator.h"
#include "host/ui.h"
#include "host/wizard_context.h"
#include "wizdata/xml_wiz_data.h"

using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class F>
double best(int runs, F f) {
  double bestMs = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    f();
    bestMs = std::min(bestMs, msSince(start));
  }
  return bestMs;
}

void buildProject(tvk::XMLWizData& data, const std::string& site, int fields) {
  data.SetNodeText("ProjectType", "ListForm");
  data.SetNodeText("ProjectStyle", "Professional");
  data.SetNodeText("ProjectName", "Bench");
  data.SetNodeText("FileDirectory", site);
  data.SetNodeText("IncludeDirectory", site + "/include");
  data.SetNodeText("StylesheetDirectory", site + "/styles");
  data.SetNodeText("GraphicsDirectory", site + "/images");
  data.SetNodeText("DatabaseConnection/DataSourceType", "ConnectionString");
  data.SetNodeText("DatabaseConnection/ConnectionStringText", "DSN=Bench");
  data.SetNodeText("DatabaseConnection/DataProvider", "OTHER");
  data.SetNodeText("DataSource/TableName", "Bench Table");
  data.SetNodeText("DataSource/PrimaryKey", "Column0");
  data.SetNodeText("ListOptions/Paging/AllowPaging", "TRUE");
  data.SetNodeText("ListOptions/Paging/RecordsPerPage", "20");
  data.SetNodeText("ListOptions/Paging/Skip1HavigationButtons", "TRUE");
  for (const char* option : {"AllowAddRecord", "AllowUpdateRecord", "AllowDeleteRecord"})
    data.SetNodeText(std::string("FormOptions/") + option, "TRUE");
  for (const char* option : {"AllowNavigation", "Skip1HavigationButtons", "SkipEndHavigationButtons", "DisplayRecordNo"})
    data.SetNodeText(std::string("FormOptions/Navigation/") + option, "TRUE");

  tvk::XmlNode container = data.foCreateNode(data.root(), "Fields");
  for (int i = 0; i < fields; ++i) {
    std::string n = std::to_string(i);
    tvk::XmlNode field = data.AddSubNode(container, "Field");
    data.AddSubNode(field, "FieldName", "Column" + n);
    data.AddSubNode(field, "ColumnLabel", "Column " + n);
    bool flag = i % 7 == 3;
    data.AddSubNode(field, "DataType", i == 0 ? "3" : flag ? "11" : "202");
    data.AddSubNode(field, "DataTypeDesc", i == 0 ? "Integer" : flag ? "Boolean" : "Text (50)");
    data.AddSubNode(field, "FieldSize", i == 0 ? "4" : flag ? "2" : "50");
    data.AddSubNode(field, "FieldRequired", i % 3 == 0 ? "TRUE" : "FALSE");
    data.AddSubNode(field, "FieldReadOnly", i == 0 ? "TRUE" : "FALSE");
    if (i % 10 == 5) {
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", "TRUE");
      data.SetSubNodeText(field, "LookupTable/LookupTableType", "DatabaseTable");
      data.SetSubNodeText(field, "LookupTable/LookupDisplayType", i % 20 == 5 ? "SelectList" : "RadioList");
      data.SetSubNodeText(field, "LookupTable/LookupTableName", "Lookup" + n);
      data.SetSubNodeText(field, "LookupTable/LookupJoinField", "ID");
      data.SetSubNodeText(field, "LookupTable/LookupShowField", "Name");
    } else if (i % 20 == 9) {
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", "TRUE");
      data.SetSubNodeText(field, "LookupTable/LookupTableType", "ManualList");
      data.SetSubNodeText(field, "LookupTable/LookupDisplayType", "SelectList");
      tvk::XmlNode array = data.foCreateNode(field, "LookupTable/LookupArray");
      for (int r = 0; r < 5; ++r) {
        tvk::XmlNode row = data.AddSubNode(array, "Row");
        data.AddSubNode(row, "JoinField", std::to_string(r));
        data.AddSubNode(row, "DisplayField", "Choice " + std::to_string(r));
      }
    } else {
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", i == 0 ? "NA" : "FALSE");
    }
    data.AddSubNode(field, "AllowSorting", i % 4 == 1 ? "TRUE" : "FALSE");
    data.SetSubNodeText(field, "ListFieldOptions/ShowField", "TRUE");
    data.SetSubNodeText(field, "ListFieldOptions/FieldOrder", n);
    data.SetSubNodeText(field, "FormFieldOptions/ShowField", "TRUE");
    data.SetSubNodeText(field, "FormFieldOptions/FieldOrder", n);
  }
}

// The shipped templates when the tree has them, else stand-ins (a header and
// empty files) so that the run measures the same steps.
std::string templatesDirectory(const std::string& scratch) {
  tvk::TVKFileCreator shipped;
  if (std::filesystem::exists(shipped.templatesDirectory() + "/Header.txt")) return shipped.templatesDirectory();
  std::filesystem::create_directories(scratch);
  std::FILE* header = std::fopen((scratch + "/Header.txt").c_str(), "wb");
  if (header == nullptr) std::abort();
  std::fputs("' Bench header\n", header);
  std::fclose(header);
  for (const char* name : {"incTVKWDisplay.asp", "incTVKWAction.asp", "TVKW_Professional.css", "TVKW_Pro_SortAsc.gif",
                           "TVKW_Pro_SortDesc.gif", "TVKW_Pro_EditRecord.gif"}) {
    std::FILE* file = std::fopen((scratch + "/" + name).c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fclose(file);
  }
  std::printf("(no shipped templates in this tree: stand-ins used)\n");
  return scratch;
}

uintmax_t pageBytes(const std::string& site) {
  uintmax_t total = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(site))
    if (entry.is_regular_file()) total += entry.file_size();
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int fields = argc > 1 ? std::atoi(argv[1]) : 100;
  const std::string site = (std::filesystem::temp_directory_path() / "tvk-bench-generate-form").string();
  std::filesystem::remove_all(site);
  for (const char* dir : {"", "/include", "/styles", "/images"}) std::filesystem::create_directories(site + dir);

  tvk::ScopedWizardContext context{std::make_shared<tvk::ConsoleUi>()};
  tvk::XMLWizData data;
  buildProject(data, site, fields);
  tvk::SetupGenerationData(data);

  tvk::TVKFileCreator creator(templatesDirectory(site + "-templates"));
  std::string report;
  // The first run copies the templates; later runs find them present and
  // rewrite only the pages, as a regeneration does.
  double firstMs = best(1, [&] { report = creator.GenerateFiles(data); });
  double againMs = best(20, [&] { report = creator.GenerateFiles(data); });
  size_t formBytes = 0;
  double formMs = best(20, [&] {
    tvk::gen::GenContext ctx(data, creator.templatesDirectory());
    formBytes = tvk::gen::fsFormPageText(ctx).size();
  });

  size_t fieldCount = 0;
  double fieldsMs = best(20, [&] {
    tvk::gen::GenContext ctx(data, creator.templatesDirectory());
    fieldCount = ctx.formFields().size() + ctx.listFields().size();
  });
  bool failed = report.find("Error") != std::string::npos || report.find("successfully created at") == std::string::npos;
  std::printf("generate ListForm: %d fields, files %ju bytes (form page %zu bytes)\n", fields,
              static_cast<uintmax_t>(pageBytes(site)), formBytes);
  std::printf("  GenerateFiles, first run   %8.2f ms\n", firstMs);
  std::printf("  GenerateFiles, again       %8.2f ms\n", againMs);
  std::printf("  form page text alone       %8.2f ms\n", formMs);
  std::printf("    of which the field lists %8.2f ms (%zu fields)\n", fieldsMs, fieldCount);
  if (failed) std::printf("report:\n%s", report.c_str());
  std::filesystem::remove_all(site);
  std::filesystem::remove_all(site + "-templates");
  return failed ? 1 : 0;
}
