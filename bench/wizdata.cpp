// Times the wizard data document on a large project: building 500 field
// records, saving, loading, and the ordered field queries.
//   build/bench_wizdata [fields]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/session.h"
#include "base/ui.h"
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

}  // namespace

int main(int argc, char** argv) {
  const int fields = argc > 1 ? std::atoi(argv[1]) : 500;
  const std::string path = (std::filesystem::temp_directory_path() / "tvk-bench-wizdata.xml").string();

  tvk::Session session{std::make_shared<tvk::ConsoleUi>()};
  tvk::XMLWizData data{session};
  double buildMs = best(1, [&] {
    data.SetNodeText("ProjectType", "ListForm");
    data.SetNodeText("ProjectName", "Bench");
    tvk::XmlNode container = data.foCreateNode(data.root(), "Fields");
    for (int i = 0; i < fields; ++i) {
      tvk::XmlNode field = data.AddSubNode(container, "Field");
      data.AddSubNode(field, "FieldName", "Column" + std::to_string(i));
      data.AddSubNode(field, "ColumnLabel", "Column " + std::to_string(i));
      data.AddSubNode(field, "DataType", "202");
      data.AddSubNode(field, "DataTypeDesc", "Text (50)");
      data.AddSubNode(field, "FieldSize", "50");
      data.AddSubNode(field, "FieldRequired", "FALSE");
      data.AddSubNode(field, "FieldReadOnly", "FALSE");
      data.SetSubNodeText(field, "LookupTable/UseLookupTable", "FALSE");
      data.AddSubNode(field, "AllowSorting", "TRUE");
      data.SetSubNodeText(field, "ListFieldOptions/ShowField", "TRUE");
      data.SetSubNodeText(field, "ListFieldOptions/FieldOrder", std::to_string(fields - i));
      data.SetSubNodeText(field, "FormFieldOptions/ShowField", i % 2 ? "TRUE" : "FALSE");
      data.SetSubNodeText(field, "FormFieldOptions/FieldOrder", i % 2 ? std::to_string(i) : "");
    }
  });

  double saveMs = best(5, [&] { data.Save(path); });
  const auto bytes = std::filesystem::file_size(path);
  double loadMs = best(5, [&] {
    tvk::XMLWizData loaded{session};
    if (!loaded.Load(path)) std::abort();
  });
  size_t listCount = 0, formCount = 0, shown = 0;
  double listMs = best(5, [&] { listCount = data.GetListFields().size(); });
  double formMs = best(5, [&] { formCount = data.GetFormFields().size(); });
  double displayedMs = best(5, [&] { shown = data.GetDisplayedFields().size(); });
  double lookupMs = best(5, [&] {
    for (int i = 0; i < fields; i += 10)
      if (data.GetNodeText("Fields/Field[FieldName='Column" + std::to_string(i) + "']/DataType") != "202") std::abort();
  });

  std::printf("wizdata: %d fields, project file %ju bytes\n", fields, static_cast<uintmax_t>(bytes));
  std::printf("  build records      %8.2f ms\n", buildMs);
  std::printf("  Save (atomic)      %8.2f ms\n", saveMs);
  std::printf("  Load               %8.2f ms\n", loadMs);
  std::printf("  GetListFields      %8.2f ms (%zu fields)\n", listMs, listCount);
  std::printf("  GetFormFields      %8.2f ms (%zu fields)\n", formMs, formCount);
  std::printf("  GetDisplayedFields %8.2f ms (%zu fields)\n", displayedMs, shown);
  std::printf("  %d field look-ups  %8.2f ms\n", fields / 10, lookupMs);
  std::filesystem::remove(path);
  return 0;
}
