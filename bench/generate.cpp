// Times the code generator on a large list project: GenerateFiles in
// process (targets: under 5 ms per project), and `tvkwizard generate` as a
// whole process (under 30 ms); and GenerateFiles for the same fields as a
// list-with-form project, whose form shows every field; then the same for a
// project of 10,000 fields, a database lookup every fifth (GenerateFiles
// under 150 ms: generation time grows linearly with the fields).
//   build/bench_generate [fields] [lookups] [large fields]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/fs.h"
#include "base/session.h"
#include "base/ui.h"
#include "database/sql_statement_builder.h"
#include "generator/tvk_file_creator.h"
#include "wizdata/xml_wiz_data.h"

extern char** environ;

using Clock = std::chrono::steady_clock;
namespace stdfs = std::filesystem;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Timing {
  double best = 1e30;
  double total = 0;
  int runs = 0;
  double mean() const { return runs ? total / runs : 0; }
};

template <class F>
Timing time(int runs, F f) {
  Timing t;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    f();
    double ms = msSince(start);
    t.best = std::min(t.best, ms);
    t.total += ms;
    ++t.runs;
  }
  return t;
}

void write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A list project with every option on: paging, page links, sorting, add,
// update and delete; `lookups` of its fields look their values up (every
// other one in a database table, the rest in a hand-made list of 8 rows).
// As a list with form, the form shows every field and allows everything.
void buildProject(tvk::XMLWizData& data, const std::string& site, int fields, int lookups, bool listForm = false) {
  auto set = [&](const char* path, const std::string& text) { data.SetNodeText(path, text); };
  set("ProjectType", listForm ? "ListForm" : "List");
  if (listForm)
    for (const char* flag :
         {"FormOptions/AllowAddRecord", "FormOptions/AllowUpdateRecord", "FormOptions/AllowDeleteRecord",
          "FormOptions/Navigation/AllowNavigation", "FormOptions/Navigation/Skip1HavigationButtons",
          "FormOptions/Navigation/SkipEndHavigationButtons", "FormOptions/Navigation/DisplayRecordNo"})
      set(flag, "TRUE");
  set("ProjectStyle", "Professional");
  set("ProjectName", "Bench");
  set("FileDirectory", site + "/admin");
  set("StylesheetDirectory", site + "/styles");
  set("GraphicsDirectory", site + "/images");
  set("IncludeDirectory", site + "/include");
  set("DatabaseConnection/DataSourceType", "ConnectionString");
  set("DatabaseConnection/ConnectionStringText", "Driver={SQLite3};Database=/srv/bench.db");
  set("DatabaseConnection/DataProvider", "OTHER");
  set("DataSource/TableName", "Bench Table");
  set("DataSource/PrimaryKey", "ID");
  for (const char* flag :
       {"ListOptions/AllowAddRecord", "ListOptions/AllowUpdateRecord", "ListOptions/AllowDeleteRecord",
        "ListOptions/Paging/AllowPaging", "ListOptions/Paging/Skip1HavigationButtons",
        "ListOptions/Paging/SkipEndHavigationButtons", "ListOptions/Paging/PageNumberNavigation/AllowPaging"})
    set(flag, "TRUE");
  set("ListOptions/Paging/RecordsPerPage", "20");
  set("ListOptions/Paging/PageNumberNavigation/MaxDirectPages", "10");

  tvk::XmlNode container = data.foCreateNode(data.root(), "Fields");
  for (int i = 0; i < fields; ++i) {
    std::string name = i == 0 ? "ID" : "Column" + std::to_string(i);
    tvk::XmlNode field = data.AddSubNode(container, "Field");
    data.AddSubNode(field, "FieldName", name);
    data.AddSubNode(field, "ColumnLabel", "Column " + std::to_string(i));
    data.AddSubNode(field, "DataType", i % 7 == 3 ? "11" : i == 0 ? "3" : "202");
    data.AddSubNode(field, "DataTypeDesc", i % 7 == 3 ? "Boolean" : i == 0 ? "Integer" : "Text (50)");
    data.AddSubNode(field, "FieldSize", "50");
    data.AddSubNode(field, "FieldRequired", i % 3 == 0 ? "TRUE" : "FALSE");
    data.AddSubNode(field, "FieldReadOnly", i == 0 || i % 11 == 5 ? "TRUE" : "FALSE");
    int lookup = i >= 1 && i <= lookups ? i : 0;
    if (lookup) {
      bool database = lookup % 2 == 1;
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", "TRUE");
      data.SetSubNodeText(field, "LookupTable/LookupTableType", database ? "DatabaseTable" : "ManualList");
      data.SetSubNodeText(field, "LookupTable/LookupDisplayType", lookup % 4 < 2 ? "SelectList" : "RadioList");
      data.SetSubNodeText(field, "LookupTable/LookupTableName", "Lookup" + std::to_string(lookup));
      data.SetSubNodeText(field, "LookupTable/LookupJoinField", "Code");
      data.SetSubNodeText(field, "LookupTable/LookupShowField", "Name");
      if (!database) {
        tvk::XmlNode array = data.foCreateNode(field, "LookupTable/LookupArray");
        for (int r = 0; r < 8; ++r) {
          tvk::XmlNode row = data.AddSubNode(array, "Row");
          data.AddSubNode(row, "JoinField", std::to_string(r));
          data.AddSubNode(row, "DisplayField", "Choice " + std::to_string(r));
        }
      }
    } else {
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", i == 0 ? "NA" : "FALSE");
    }
    data.AddSubNode(field, "AllowSorting", i % 4 == 1 ? "TRUE" : "FALSE");
    data.SetSubNodeText(field, "ListFieldOptions/ShowField", "TRUE");
    data.SetSubNodeText(field, "ListFieldOptions/FieldOrder", std::to_string(i + 1));
    data.SetSubNodeText(field, "FormFieldOptions/ShowField", listForm ? "TRUE" : "FALSE");
    if (listForm) data.SetSubNodeText(field, "FormFieldOptions/FieldOrder", std::to_string(i + 1));
  }
}

// Runs a program with its output discarded; returns its exit status and
// adds the CPU time it used (user and system) to *cpuMs.
int runQuietly(const std::vector<std::string>& args, double* cpuMs) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  *cpuMs +=
      (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int fields = argc > 1 ? std::atoi(argv[1]) : 100;
  const int lookups = argc > 2 ? std::atoi(argv[2]) : 10;
  const int largeFields = argc > 3 ? std::atoi(argv[3]) : 10000;

  std::string root = (stdfs::temp_directory_path() / ("tvk-bench-generate-" + std::to_string(getpid()))).string();
  std::string site = root + "/site";
  for (const char* dir : {"/admin", "/styles", "/images", "/include"}) stdfs::create_directories(site + dir);
  // Templates of our own, so the in-process figures do not depend on what
  // is installed beside the program.
  std::string templates = root + "/Templates";
  stdfs::create_directories(templates);
  write(templates + "/Header.txt", "' Generated by TVK Wizard\r\n' Benchmark header\r\n");
  for (const char* name : {"incTVKWDisplay.asp", "incTVKWAction.asp", "TVKW_Professional.css", "TVKW_Pro_SortAsc.gif",
                           "TVKW_Pro_SortDesc.gif", "TVKW_Pro_EditRecord.gif"})
    write(templates + "/" + name, "template\r\n");

  auto ui = std::make_shared<tvk::ConsoleUi>();
  tvk::Session session{ui};
  tvk::XMLWizData data{session};
  buildProject(data, site, fields, lookups);
  tvk::SetupGenerationData(data);

  tvk::DiskOutput output;
  tvk::TVKFileCreator creator(output, templates);
  tvk::GenerationReport report;
  const int runs = 50;
  Timing inProcess = time(runs, [&] { report = creator.GenerateFiles(data); });
  const auto pageBytes = stdfs::file_size(site + "/admin/BenchList.asp");
  if (!ui->shown().empty()) std::fprintf(stderr, "error reported: %s\n", ui->shown().front().c_str());

  tvk::XMLWizData formData{session};
  buildProject(formData, site, fields, lookups, true);
  tvk::SetupGenerationData(formData);
  Timing withForm = time(runs, [&] { report = creator.GenerateFiles(formData); });
  const auto formBytes = stdfs::file_size(site + "/admin/BenchForm.asp");
  if (!report.succeeded()) std::fprintf(stderr, "%s", tvk::renderReport(report).c_str());

  // A large project: every fifth field looks its values up (alternately in
  // a database table and a hand-made list).
  tvk::XMLWizData large{session};
  buildProject(large, site, largeFields, largeFields / 5);
  const int largeRuns = 5;
  Timing largeSetup = time(largeRuns, [&] { tvk::SetupGenerationData(large); });
  Timing largeGenerate = time(largeRuns, [&] { report = creator.GenerateFiles(large); });
  const auto largeBytes = stdfs::file_size(site + "/admin/BenchList.asp");
  if (!report.succeeded()) std::fprintf(stderr, "%s", tvk::renderReport(report).c_str());

  std::string projectFile = root + "/Bench.xml";
  data.Save(projectFile);
  Timing load = time(runs, [&] {
    tvk::XMLWizData loaded{session};
    if (!loaded.Load(projectFile)) std::abort();
  });
  Timing setup = time(runs, [&] { tvk::SetupGenerationData(data); });

  std::printf("generate: List project, %d fields, %d lookups, list page %ju bytes\n", fields, lookups,
              static_cast<uintmax_t>(pageBytes));
  std::printf("  GenerateFiles in process   best %7.2f ms   mean %7.2f ms   (%d runs; target < 5 ms)\n", inProcess.best,
              inProcess.mean(), runs);
  std::printf(
      "  ListForm: GenerateFiles    best %7.2f ms   mean %7.2f ms   (list and form page, form page %ju bytes)\n",
      withForm.best, withForm.mean(), static_cast<uintmax_t>(formBytes));
  std::printf("  Load project file          best %7.2f ms   mean %7.2f ms\n", load.best, load.mean());
  std::printf("  SetupGenerationData        best %7.2f ms   mean %7.2f ms\n", setup.best, setup.mean());
  std::printf(
      "  %d fields, %d lookups: GenerateFiles best %7.2f ms   mean %7.2f ms   (%d runs; target < 150 ms; "
      "list page %ju bytes)\n",
      largeFields, largeFields / 5, largeGenerate.best, largeGenerate.mean(), largeRuns,
      static_cast<uintmax_t>(largeBytes));
  std::printf("  %d fields, %d lookups: SetupGenerationData best %7.2f ms   mean %7.2f ms\n", largeFields,
              largeFields / 5, largeSetup.best, largeSetup.mean());

  // The whole command, as a user runs it.
  std::string program = tvk::files::join(tvk::files::programDirectory(), "tvkwizard");
  int status = 0;
  double cpuMs = 0, startCpuMs = 0;
  const int processRuns = 20;
  Timing process = time(processRuns, [&] { status = runQuietly({program, "generate", projectFile}, &cpuMs); });
  Timing start = time(processRuns, [&] { runQuietly({program, "--version"}, &startCpuMs); });
  std::printf("  tvkwizard generate process best %7.2f ms   mean %7.2f ms   cpu %6.2f ms   (%d runs; target < 30 ms)",
              process.best, process.mean(), cpuMs / processRuns, processRuns);
  if (status != 0)
    std::printf("  [exit %d: %s]", status,
                stdfs::exists(tvk::files::join(tvk::files::programDirectory(), "Templates/Header.txt"))
                    ? "see `tvkwizard generate` output"
                    : "no Templates beside the program yet");
  std::printf("\n  tvkwizard --version (start-up) best %7.2f ms   mean %7.2f ms   cpu %6.2f ms\n", start.best,
              start.mean(), startCpuMs / processRuns);

  stdfs::remove_all(root);
  return 0;
}
