#include "generator/shared_routines.h"
#include "generator/page_safety.h"

#include <algorithm>
#include <cctype>

#include <array>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"
#include "generator/code_printer.h"
#include "generator/gen_context.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {

namespace {

bool isValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    auto c = static_cast<unsigned char>(bytes[i]);
    size_t extra = 0;
    if (c < 0x80)
      extra = 0;
    else if (c >= 0xC2 && c <= 0xDF)
      extra = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      extra = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      extra = 3;
    else
      return false;
    if (i + extra >= bytes.size() && extra > 0) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

void appendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Windows-1252 bytes 0x80 to 0x9F; the five bytes it leaves undefined are
// taken as the C1 control characters of the same value.
constexpr std::array<unsigned, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isStyle(const std::string& style, std::string_view name) { return style == name; }

}  // namespace

std::string gfsTemplateText(const std::string& bytes) {
  if (isValidUtf8(bytes)) return bytes;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char ch : bytes) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80 && c <= 0x9F)
      appendUtf8(out, kCp1252High[c - 0x80]);
    else
      appendUtf8(out, c);
  }
  return out;
}

std::string fsASPStandardHeader(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPStandardHeader", [&](CodePrinter& p) {
    std::string header = gfsTemplateText(files::readFile(files::join(ctx.templatesDirectory(), kHeaderTemplate)));
    p.emit(R"(
<%@ Language=VBScript %>
<%
Option Explicit
Response.expires = 0
Response.CodePage = 1252
Response.Charset = "windows-1252"
)");
    // The user's header, line by line so that every line of the page ends
    // alike whatever line ends the file has; its last line is ended too.
    std::string_view rest = header;
    for (;;) {
      size_t newline = rest.find('\n');
      std::string_view piece = rest.substr(0, newline);
      if (newline != std::string_view::npos && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      p.emit("$Line$\n", {{"Line", piece}});
      if (newline == std::string_view::npos) break;
      rest.remove_prefix(newline + 1);
    }
    p.blank();
  });
}

std::string fsStylesheetName(const GenContext& ctx) {
  std::string style = ctx.projectStyle();
  if (isStyle(style, wiz::kStyleClassic)) return "TVKW_Classic.css";
  if (isStyle(style, wiz::kStyleProfessional)) return "TVKW_Professional.css";
  if (isStyle(style, wiz::kStyleXP)) return "TVKW_XP.css";
  return {};
}

std::string fsHTMLStandardHeader(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsHTMLStandardHeader", [&](CodePrinter& p) {
    std::string rel = gfsRelativePath(ctx.text(wiz::FileDirectory), ctx.text(wiz::StylesheetDirectory));
    std::string sheet = fsStylesheetName(ctx);
    p.emit(R"(
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
)");
    // (a blank at the end of the LINK line)
    p.emit("<LINK REL=\"STYLESHEET\" HREF=\"$Rel$$Sheet$\"> \n",
           {{"Rel", fsHTMLAttributeText(fsURLText(rel, "/:"))}, {"Sheet", sheet}});
    p.emit(R"(
</HEAD>
<BODY>

)");
    std::string style = ctx.projectStyle();
    std::string name = ctx.projectName();
    const char* titleRow = nullptr;
    if (isStyle(style, wiz::kStyleClassic) || isStyle(style, wiz::kStyleXP))
      titleRow = R"(<TH NOWRAP>&nbsp;$Name$&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>)";
    else if (isStyle(style, wiz::kStyleProfessional))
      titleRow = R"(<TD WIDTH=100%>&nbsp;</TD><TH NOWRAP>&nbsp;$Name$&nbsp;</TH>)";
    if (titleRow == nullptr) return;
    p.emit(R"(
<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
$TitleRow$
</TR></TABLE><BR>

)",
           {{"TitleRow", substitute(titleRow, {{"Name", fsHTMLText(name)}})}});
  });
}

std::string fsHTMLStandardFooter() {
  CodePrinter p;
  p.emit(R"(
</BODY>
</HTML>
)");
  return p.take();
}

std::string fsASPOpenDBConnection(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPOpenDBConnection", [&](CodePrinter& p) {
    p.emit(R"(
' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
)");
    // Names and connection strings stand inside string literals of the page.
    if (ctx.text(wiz::DataSourceType) == wiz::kSourceGlobalASA) {
      std::string name = fsVBStringText(ctx.text(wiz::GlobalASADataSourceName));
      p.emit(R"(
mDbCon.ConnectionTimeout = Application("$N$_ConnectionTimeout")
mDbCon.CommandTimeout = Application("$N$_CommandTimeout")
mDbCon.Open Application("$N$_ConnectionString"), Application("$N$_RuntimeUserName"), Application("$N$_RuntimePassword")
)",
             {{"N", name}});
    } else {
      p.emit(R"(
mDbCon.open "$C$"
)",
             {{"C", fsVBStringText(ctx.text(wiz::ConnectionStringText))}});
    }
  });
}

namespace {

XmlNodeList arrayRows(const XmlNode& lookup) {
  XmlNode array = lookup.child("LookupArray");
  XmlNodeList rows;
  if (!array) return rows;
  for (const XmlNode& child : array.children())
    if (child.name() == wiz::Row) rows.push_back(child);
  return rows;
}

std::string childText(const XmlNode& node, std::string_view name) {
  XmlNode child = node.child(name);
  return child ? child.text() : std::string();
}

}  // namespace

std::string fsASPDefineLookupArrays(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPDefineLookupArrays", [&](CodePrinter& p) {
    const XmlNodeList& lookups = ctx.manualLists();
    for (size_t i = 0; i < lookups.size(); ++i) {
      // A list without rows still gets one (empty) row: "Dim ma(1,-1)" is
      // not VBScript, and the page would not compile at all.
      long bound = std::max(0L, static_cast<long>(arrayRows(lookups[i]).size()) - 1);
      p.emit("Dim $A$(1,$R$)\n", {{"A", ctx.manualListArrays()[i]}, {"R", std::to_string(bound)}});
    }
  });
}

std::string fsASPGenerateLookupArrays(const GenContext& ctx) {
  return trappedRoutine(ctx, "fsASPGenerateLookupArrays", [&](CodePrinter& p) {
    const XmlNodeList& lookups = ctx.manualLists();
    if (lookups.empty()) return;
    p.emit(R"(
Sub GenerateLookupArrays()

  ' Fill up the arrays holding the manual lookup lists
)");
    for (size_t list = 0; list < lookups.size(); ++list) {
      const std::string& array = ctx.manualListArrays()[list];
      long i = 0;
      for (const XmlNode& row : arrayRows(lookups[list])) {
        std::string index = std::to_string(i++);
        // Two assignments on one line, parted by " : " and a tab; the list's
        // texts stand inside string literals.
        p.emit("  $A$(0,$i$) = \"$J$\" : \t$A$(1,$i$) = \"$D$\"\n",
               {{"A", array},
                {"i", index},
                {"J", fsVBStringText(childText(row, wiz::JoinField))},
                {"D", fsVBStringText(childText(row, wiz::DisplayField))}});
      }
      p.blank();
    }
    p.emit("End Sub \n");  // (a blank at the end)
    p.blank();
  });
}

std::string fsHTMLTableAttributes(const GenContext& ctx) {
  std::string style = ctx.projectStyle();
  if (isStyle(style, wiz::kStyleClassic) || isStyle(style, wiz::kStyleBasic))
    return "BORDER=1 CELLSPACING=0 CELLPADDING=3";
  if (isStyle(style, wiz::kStyleProfessional)) return "BORDER=0 CELLSPACING=2 CELLPADDING=3";
  if (isStyle(style, wiz::kStyleXP)) return "BORDER=0 CELLSPACING=1 CELLPADDING=3";
  return {};
}

std::string fsHTMLGraphic(const GenContext& ctx, int kind) {
  ErrorTrap trap{ctx.data().ui(), kModule, "fsHTMLGraphic"};
  std::string result;
  if (!trap([&] {
        std::string style = ctx.projectStyle();
        if (isStyle(style, wiz::kStyleBasic) || isStyle(style, wiz::kStyleClassic)) {
          switch (kind) {
            case kMarkerSortAscending:
              result = "/\\";
              break;
            case kMarkerSortDescending:
              result = "\\/";
              break;
            case kMarkerEditRecord:
              result = "Edit";
              break;
            default:
              break;
          }
          return;
        }
        std::string prefix;
        if (isStyle(style, wiz::kStyleProfessional))
          prefix = "TVKW_Pro_";
        else if (isStyle(style, wiz::kStyleXP))
          prefix = "TVKW_XP_";
        else
          return;
        std::string rel = gfsRelativePath(ctx.text(wiz::FileDirectory), ctx.text(wiz::GraphicsDirectory));
        const char* tmpl = nullptr;
        switch (kind) {
          case kMarkerSortAscending:
            tmpl = R"(<IMG SRC="$Rel$$P$SortAsc.gif" BORDER=0 ALT="Sorted in Ascending Order">)";
            break;
          case kMarkerSortDescending:
            tmpl = R"(<IMG SRC="$Rel$$P$SortDesc.gif" BORDER=0 ALT="Sorted in Descending Order">)";
            break;
          case kMarkerEditRecord:
            tmpl = R"(<IMG SRC="$Rel$$P$EditRecord.gif" BORDER=0 ALT="Edit Record">)";
            break;
          default:
            return;
        }
        result = substitute(tmpl, {{"Rel", fsHTMLAttributeText(fsURLText(rel, "/:"))}, {"P", prefix}});
      })) {
    ctx.noteFailure("fsHTMLGraphic");
    return {};
  }
  return result;
}

std::string fsASPReadDataAction() {
  CodePrinter p;
  p.emit(R"(
' Get the data action to be performed
msDataAction = Request.Form("DataAction")
)");
  // (a blank at the end of this line)
  p.emit("If Len(msDataAction) = 0 Then \n");
  p.emit(R"(
  ' If no data action from Form variables, see if we have been sent anything in the URL
  msDataAction = Request.QueryString("DataAction")
End If

)");
  return p.take();
}

std::string fsHTMLReadOnlyLookupInput(const FieldInfo& field) {
  return substitute(
      R"(<INPUT TYPE="Text" NAME="$F$" VALUE="<%= gfsFieldValue(rs,"$S$") %>"$D$>)",
      {{"F", fsHTMLAttributeText(field.name)}, {"S", fsVBStringText(field.shownColumn())}, {"D", kReadOnlyAttribute}});
}

namespace {

// The array of a field's hand-made list: the page's name for it, when the
// field was read through the page's context.
std::string listArray(const FieldInfo& field) {
  return field.arrayName.empty() ? fsLookupArrayName(field.name) : field.arrayName;
}

}  // namespace

std::string fsHTMLReadOnlyManualListInput(const FieldInfo& field) {
  return substitute(
      R"(<INPUT TYPE="Text" NAME="$N$" VALUE="<%= $HTMLEncode$(gfsArrayValue($A$,gfsFieldValue(rs,"$Q$"))) %>"$D$>)",
      {{"N", fsHTMLAttributeText(field.name)},
       {"A", listArray(field)},
       {"Q", fsVBStringText(field.name)},
       {"D", kReadOnlyAttribute},
       {"HTMLEncode", kHTMLEncode}});
}

std::string fsHTMLReadOnlyLookup(const FieldInfo& field) {
  if (field.lookupType == wiz::kLookupDatabaseTable) return fsHTMLReadOnlyLookupInput(field);
  if (field.lookupType == wiz::kLookupManualList) return fsHTMLReadOnlyManualListInput(field);
  return {};
}

std::string fsASPLookupControl(const FieldInfo& field) {
  constexpr std::string_view kRadioList = "RadioList";
  bool database = field.lookupType == wiz::kLookupDatabaseTable;
  bool manual = field.lookupType == wiz::kLookupManualList;
  const char* tmpl = nullptr;
  if (database && field.displayType == wiz::kLookupSelectList)
    tmpl = R"(<% gGenerateHTMLSelect "$Q$", gfsFieldValue(rs,"$Q$"), "$T$","$J$","$S$",$R$ %>)";
  else if (database && field.displayType == kRadioList)
    tmpl = R"(<% gGenerateHTMLRadioInputs "$Q$", gfsFieldValue(rs,"$Q$"), "$T$","$J$","$S$" %>)";
  else if (manual && field.displayType == wiz::kLookupSelectList)
    tmpl = R"(<% gGenerateHTMLSelectFromArray "$Q$", gfsFieldValue(rs,"$Q$"), $F$,$R$ %>)";
  else if (manual && field.displayType == kRadioList)
    tmpl = R"(<% gGenerateHTMLRadioInputsFromArray "$Q$", gfsFieldValue(rs,"$Q$"), $F$ %>)";
  if (tmpl == nullptr) return {};
  // The names stand inside string literals of the page; the array name is
  // a script name made from the field name. A project that knows its
  // database's quotes hands the include its names quoted (the include's
  // own rule brackets only names with a blank, and leaves quoted ones).
  std::string table = field.lookupTable, join = field.joinField, show = field.showField;
  if (SqlDialect dialect = gfnSqlDialect(field.sqlDialect); dialect != SqlDialect::Legacy) {
    table = gfsEncaseSQLTable(table, dialect);
    join = gfsEncaseSQLObject(join, dialect);
    show = gfsEncaseSQLObject(show, dialect);
  }
  return substitute(tmpl, {{"Q", fsVBStringText(field.name)},
                           {"F", listArray(field)},
                           {"T", fsVBStringText(table)},
                           {"J", fsVBStringText(join)},
                           {"S", fsVBStringText(show)},
                           {"R", field.isRequired() ? "true" : "false"}});
}

std::string fsLookupArrayName(std::string_view fieldName) { return "ma" + fsScriptName(fieldName); }

}  // namespace tvk::gen
