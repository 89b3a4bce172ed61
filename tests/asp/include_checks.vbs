' Checks of the include files' routines: the body of a page that includes
' both files, run by test_include_files.py with the form values Box=1 and
' Name=<x> over a table T holding one record (Name "Ann & Bob", ID 7, Flag
' True). A failed Check writes a FAIL line; the control writers' output is
' written between <!--name--> marks for the test to compare.
Const sADD_BUTTON = "Add"
Const sINSERT_BUTTON = "Insert"
Const sUPDATE_BUTTON = "Update"
Dim msDataAction, mDictFieldErrors, mDbCon
Dim rs, rsE, a(1,2), nFail
nFail = 0
Sub Check(sWhat, vGot, vWant)
	If VarType(vGot) <> VarType(vWant) Then
		Response.Write "FAIL " & sWhat & ": type " & VarType(vGot) & " want " & VarType(vWant) & vbCrLf
		nFail = nFail + 1
	ElseIf vGot <> vWant Then
		Response.Write "FAIL " & sWhat & ": [" & vGot & "] want [" & vWant & "]" & vbCrLf
		nFail = nFail + 1
	End If
End Sub
Sub Mark(sName)
	Response.Write "<!--" & sName & "-->"
End Sub
a(0,0) = "1" : a(1,0) = "One"
a(0,1) = "2" : a(1,1) = "Two & <b>"
a(0,2) = "x""y" : a(1,2) = "Quote"

Check "enc", gfsHTMLEncode("<a href=""x"">'&"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;"
Check "enc null", gfsHTMLEncode(Null), ""
Check "fmt empty", gfsFormatOutput(Null), "&nbsp;"
Check "fmt", gfsFormatOutput("a<b"), "a&lt;b"
Check "fmt bool", gfsFormatOutput(True), "True"
Check "chk true", gfsFieldChecked(True), "CHECKED"
Check "chk 1", gfsFieldChecked("1"), "CHECKED"
Check "chk -1", gfsFieldChecked(-1), "CHECKED"
Check "chk 0", gfsFieldChecked("0"), ""
Check "chk False", gfsFieldChecked("False"), ""
Check "chk true txt", gfsFieldChecked("True"), "CHECKED"
Check "chk null", gfsFieldChecked(Null), ""
Check "chk empty", gfsFieldChecked(""), ""
Check "chk junk", gfsFieldChecked("abc"), ""
Check "arr 1", gfsArrayValue(a, 1), "One"
Check "arr 02", gfsArrayValue(a, "02"), "Two & <b>"
Check "arr missing", gfsArrayValue(a, "9"), ""
Check "arr null", gfsArrayValue(a, Null), ""
Check "arr quote", gfsArrayValue(a, "x""y"), "Quote"
Check "arr quote encoded", gfsArrayValue(a, gfsHTMLEncode("x""y")), "Quote"
Check "arr noarray", gfsArrayValue(Empty, "1"), ""
Check "num", gfsSQLNumberFormat("42"), "42"
Check "num sp", gfsSQLNumberFormat(" -4.5 "), "-4.5"
Check "num inj", gfsSQLNumberFormat("1 OR 1=1"), "NULL"
Check "num hex", gfsSQLNumberFormat("&H10"), "NULL"
Check "num exp", gfsSQLNumberFormat("1e5"), "NULL"
Check "num dot", gfsSQLNumberFormat("1."), "NULL"
Check "num dot2", gfsSQLNumberFormat(".5"), "NULL"
Check "num empty", gfsSQLNumberFormat(""), "NULL"
Check "num long", gfsSQLNumberFormat(CLng(7)), "7"
Check "num 15 digits", gfsSQLNumberFormat("123456789012345"), "123456789012345"
Check "num 16 digits", gfsSQLNumberFormat("1234567890123456"), "NULL"
Check "num 16 with point", gfsSQLNumberFormat("12345678.12345678"), "NULL"
Check "url enc", gfsURLEncode("a&b #+""<"), "a%26b+%23%2B%22%3C"
Check "url null", gfsURLEncode(Null), ""
' No session token, no change; a GET never changes anything either.
Check "no token", gfbVerifiedChange(), False
Session("TVKW_Token") = "abc"
Check "token input", gfsTokenInput(), "<INPUT TYPE=""HIDDEN"" NAME=""TVKToken"" VALUE=""abc"">"
Check "token not posted", gfbVerifiedChange(), False
Session("TVKW_Token") = Empty
Check "new token", Len(gfsRequestToken()) >= 32, True
Check "same token", gfsRequestToken(), Session("TVKW_Token")
Check "txt", gfsSQLTextFormat("O'Brien"), "'O''Brien'"
Check "txt null", gfsSQLTextFormat(Null), "NULL"
Check "txt empty", gfsSQLTextFormat(""), "''"
Check "txt bs", gfsSQLTextFormat("DOM\user"), "'DOM\user'"
Check "txt bsq", gfsSQLTextFormat("\' OR 1=1 --"), "NULL"
Check "txt bsend", gfsSQLTextFormat("abc\"), "NULL"
Check "date iso", gfsSQLDateFormat("2021-03-04"), "'2021-03-04'"
Check "date iso t", gfsSQLDateFormat("2021-03-04 05:06:07"), "'2021-03-04 05:06:07'"
Check "date iso T", gfsSQLDateFormat("2021-03-04T05:06"), "'2021-03-04 05:06:00'"
Check "date bad", gfsSQLDateFormat("2021-02-30"), "NULL"
Check "date inj", gfsSQLDateFormat("1' OR '1'='1"), "NULL"
Check "date val", gfsSQLDateFormat(DateSerial(1999,12,31)), "'1999-12-31'"
Check "date null", gfsSQLDateFormat(Null), "NULL"
Check "date num", gfsSQLDateFormat(5), "NULL"
Check "sortf", gfsSortField("[T].[A]", Array("T.B", "[T].[A]")), "[T].[A]"
Check "sortf bad", gfsSortField("1;DROP", Array("T.B", "[T].[A]")), ""
Check "sortf empty", gfsSortField("", Array("T.B")), ""
Check "sorto", gfsSortOrder("T.B", " desc "), "DESC"
Check "sorto asc", gfsSortOrder("T.B", "asc"), "ASC"
Check "sorto bad", gfsSortOrder("T.B", "asc;drop"), "ASC"
Check "sorto nofield", gfsSortOrder("", "DESC"), ""
Check "empty", gfbEmpty("  "), True
Check "empty2", gfbEmpty("x"), False
Check "empty null", gfbEmpty(Null), True
Check "e2n", IsNull(gfvEmptyToNull(" ")), True
Check "e2n v", gfvEmptyToNull(" a"), " a"


' posted values
Check "reqval", gfbRequestValue("Box"), True
Check "reqval missing", gfbRequestValue("Nope"), False
Check "empty req", gfbEmpty(Request("Nope")), True
Check "empty req2", gfbEmpty(Request("Name")), False
Check "e2n req", gfvEmptyToNull(Request("Name")), "<x>"

' field values
Set mDbCon = Server.CreateObject("ADODB.Connection")
mDbCon.Open "Driver={SQLite3};Database=checks.db"
Set rs = mDbCon.Execute("SELECT Name, ID, Flag FROM T")
Set rsE = mDbCon.Execute("SELECT Name, ID, Flag FROM T WHERE ID = 0")
msDataAction = ""
Check "fv", gfsFieldValue(rs, "Name"), "Ann &amp; Bob"
Check "fv id", gfsFieldValue(rs, "ID"), "7"
Check "fv empty rs", gfsFieldValue(rsE, "Name"), ""
msDataAction = "Add"
Check "fv add", gfsFieldValue(rs, "Name"), ""
msDataAction = "Update"
Check "fv upd posted", gfsFieldValue(rs, "Name"), "&lt;x&gt;"
Check "fv upd unposted", gfsFieldValue(rs, "ID"), "7"
Check "fv upd bool", gfsFieldValue(rs, "Flag"), ""
msDataAction = "Insert"
Check "fv ins unposted", gfsFieldValue(rs, "ID"), ""
Check "fv ins posted", gfsFieldValue(rsE, "Name"), "&lt;x&gt;"
msDataAction = "Delete"
Check "fv del", gfsFieldChecked(gfsFieldValue(rs, "Flag")), "CHECKED"
rs.MoveNext
Check "fv eof", gfsFieldValue(rs, "Name"), ""

' errors
Check "ferr none", gfsFieldError("Name"), ""
Set mDictFieldErrors = CreateObject("Scripting.Dictionary")
mDictFieldErrors("Name") = "Name <Required>"
Check "ferr", gfsFieldError("Name"), "<SPAN CLASS=""FieldError"">Name &lt;Required&gt;</SPAN>"
Check "ferr other", gfsFieldError("ID"), ""
Set mDictFieldErrors = Nothing
Check "ferr nothing", gfsFieldError("Name"), ""


' controls
Mark "sel" : gGenerateHTMLSelectFromArray "F 1", "2", a, True : Mark "/sel"
Mark "sel req empty" : gGenerateHTMLSelectFromArray "F", "", a, True : Mark "/sel req empty"
Mark "sel opt enc" : gGenerateHTMLSelectFromArray "F", "x&quot;y", a, False : Mark "/sel opt enc"
Mark "radio" : gGenerateHTMLRadioInputsFromArray "R", "1", a : Mark "/radio"
Mark "radio empty" : gGenerateHTMLRadioInputsFromArray "R", "1", Empty : Mark "/radio empty"
Check "encase", gfsEncaseSQLObject("Order Details"), "[Order Details]"
Check "encase quoted", gfsEncaseSQLObject("""order details"""), """order details"""
Check "encase backticks", gfsEncaseSQLObject("`order details`"), "`order details`"

Response.Write vbCrLf & "failures: " & nFail
