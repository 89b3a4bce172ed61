<%@ Language=VBScript %>
<%
Option Explicit
Response.expires = 0
Response.CodePage = 1252
Response.Charset = "windows-1252"
' Test header: every generated page of the golden tests starts with it.
' Its lines end with LF alone; the pages end them with CR LF.


' *** INCLUDE FILES ***********************************************************
%>
<!--#INCLUDE file="../include/incTVKWDisplay.asp" -->
<!--#INCLUDE file="../include/incTVKWAction.asp" -->
<%
' *** CONSTANTS ***************************************************************
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"
Const sUPDATE_BUTTON = "Update"
Const sCANCEL_BUTTON = "Cancel"
Const sDELETE_BUTTON = "Delete"

' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
Dim msPK
Dim msDataAction
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)

' *** SETUP *******************************************************************
' Get the data action to be performed
msDataAction = Request.Form("DataAction")
If Len(msDataAction) = 0 Then 
	' If no data action from Form variables, see if we have been sent anything in the URL
	msDataAction = Request.QueryString("DataAction")
End If

' If we have been passed a primary key, get it
msPK = Request.Form("PK")
If Len(msPK) = 0 Then
	' Variables from the FORM request overide those in Query string
	msPK = Request.QueryString("PK")
End If

msSortField = gfsSortField(Request("SortField"), Array("Holidays.HolidayDate", "Holidays.Name"))
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "DSN=Calendar"

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this could change DataAction state
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="../styles/TVKW_Classic.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TH NOWRAP>&nbsp;Holidays&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<%

Response.write msUserMessage


DisplayList 

'Only display navigation buttons if not in middle of edit operation
If msDataAction = "" Then
End If

%>
</BODY>
</HTML>
<%

' *** TERMINATE ***************************************************************
' Close database connection
mDbCon.Close
set mDbCon = Nothing 


' *** ROUTINES ****************************************************************

Sub DisplayList

	' Gets the records to display, and loops through the recordset displaying
	' a table row for each record.

	Dim rs
	Dim i
	Dim bEvenLine
	i = 0
	set rs = frsGetRecordset

	Response.Write "<TABLE CLASS=""ListTable"" WIDTH=""100%"" BORDER=1 CELLSPACING=0 CELLPADDING=3>"
	DisplayListHeader
	Response.Write "<TBODY>"

	Do Until rs.EOF

		If CStr(rs("HolidayDate")) = msPK AND ( msDataAction = sEDIT_BUTTON OR msDataAction = sUPDATE_BUTTON ) Then
			DisplayEditLine rs
		Else
			bEvenLine = i Mod 2
			DisplayListLine rs, bEvenLine
		End If

		i = i + 1
		rs.MoveNext
	Loop

	rs.Close
	Set rs = Nothing

	Response.Write "</TBODY></TABLE>"

End Sub


Sub DisplayListHeader
	' Display the header for the table
	Response.write "<THEAD><TR>"
	Response.write "<TH>Edit</TH>"
	Response.write "<TH>" & fsSortingHeader("Holidays.HolidayDate","Date") & "</TH>"
	Response.write "<TH>" & fsSortingHeader("Holidays.Name","Name") & "</TH>"
	Response.write "<TH>Public</TH>"
	Response.write "</TR></THEAD>"
End Sub


Function fsSortingHeader(sFieldName, sDisplayName)

	' Handles generating the URL for the table headers that when
	' clicked on will change the sort order

	Dim sNextSortOrder

	' If re-sort on same field then
	If sFieldName = msSortField Then
		' Toggle sort order
		If msSortOrder = "ASC" Then
			sNextSortOrder = "DESC"
		Else
			sNextSortOrder = "ASC"
		End If
	Else
		' Sort on new field, so start sorting in ascending order
		sNextSortOrder = "ASC"
	End If

	fsSortingHeader = "<A HREF='?SortField=" & Server.URLEncode(sFieldName) & "&SortOrder=" & sNextSortOrder & "'>" & sDisplayName
	If sFieldName = msSortField Then
		' If we are currently sorting by this field then display this to user
		If msSortOrder = "ASC" Then
			fsSortingHeader = fsSortingHeader & "&nbsp;/\" ' Ascending order
		Else
			fsSortingHeader = fsSortingHeader & "&nbsp;\/" ' Descending order
		End If
	End If
	fsSortingHeader = fsSortingHeader & "</A>"

End Function


Sub DisplayListLine (rs, bEvenLine)

	' Display the current record as a row in the list table

	If bEvenLine Then
		Response.write "<TR CLASS=""EvenLine"">"
	Else
		Response.write "<TR CLASS=""OddLine"">"
	End If
	Response.write "<TH><A HREF=""" & gfsHTMLEncode("?DataAction=" & sEDIT_BUTTON & "&PK=" & gfsURLEncode(rs("HolidayDate")) & msSortOrderURL) & """>Edit</A></TH>"
	Response.write "<TD>" & gfsFormatOutput(rs("HolidayDate")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Name")) & "</TD>"
	Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("IsPublic")) & " DISABLED></TD>"
	Response.write "</TR>"

End Sub


Sub DisplayEditLine (rs)

	' Display the current record as an editable row in the list table

	%>
	<FORM METHOD="POST">
	<%= gfsTokenInput() %>
	<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<%= gfsHTMLEncode(msSortField) %>" >
	<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<%= msSortOrder %>" >
	<INPUT TYPE="HIDDEN" NAME="PK" VALUE="<%= gfsFieldValue(rs, "HolidayDate") %>" >

	<TR CLASS="EditLine"><TD>&nbsp;</TD>
	<TD>
	<INPUT TYPE="Text" NAME="HolidayDate" VALUE="<%= gfsFieldValue(rs,"HolidayDate") %>" DISABLED CLASS="READONLY" >	<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
	<INPUT TYPE="HIDDEN" NAME="HolidayDate" VALUE="<%= gfsFieldValue(rs,"HolidayDate") %>" >
	<BR><%= gfsFieldError("HolidayDate") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="Name" VALUE="<%= gfsFieldValue(rs,"Name") %>" SIZE="50" MAXLENGTH="50" >
	<BR><%= gfsFieldError("Name") %>
	</TD>

	<TD>
	<INPUT TYPE="Checkbox" NAME="IsPublic" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"IsPublic")) %>>
	<BR><%= gfsFieldError("IsPublic") %>
	</TD>

	</TR><TR CLASS="EditLine"><TD COLSPAN="4" ALIGN=RIGHT>
	<%
	' Now write out data action buttons State can be :
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	 'Add,Insert - Show Update, Cancel -->

	Select Case msDataAction
		Case Else
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sDELETE_BUTTON & "  LANGUAGE=""JavaScript"" OnClick=""return confirm('Are you sure you want to delete this record?');"">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sCANCEL_BUTTON & ">&nbsp;&nbsp;"
	End Select

	Response.write "</TD></TR></FORM>" 

End Sub



' *** DATABASE ROUTINES *******************************************************

Sub PerformDataActions

	' Run an action if the user clicks on an update button (Add, Update, Delete etc)
	' If the data action succeeds then set DataAction to empty string


	Select Case msDataAction

		Case sDELETE_BUTTON
			If fbDeleteRecord Then
				msPK = "" ' Primary Key not valid anymore cos it's been deleted!
				msDataAction = ""
			Else
				msDataAction = sEDIT_BUTTON
			End If

		Case sCANCEL_BUTTON
				msDataAction = ""

	End Select

End Sub


Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging and sorting if necessary.

	Dim rs
	Dim sSQL

	sSQL = "SELECT Holidays.HolidayDate, Holidays.Name, Holidays.IsPublic FROM Holidays "

	' Apply Sorting
	If msSortOrder <> "" Then
		sSQL = sSQL & " ORDER BY " & msSortField & " " & msSortOrder
	End If

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open sSQL, mdbCon


	Set frsGetRecordset = rs

End Function


Function fbDeleteRecord()

	' Deletes a record in the database. Returns TRUE on success, FALSE on error.
	' msUserMessage is set to a message of failure / success.

	Dim sSQL
	Dim rs
	Dim bFound

	' Only a form of this site, posted in this session, may change records
	If Not gfbVerifiedChange() Then
		fbDeleteRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">The request could not be verified; please try again.</SPAN><BR><BR>"
		Exit Function
	End If

	 sSQL = " DELETE FROM Holidays WHERE HolidayDate = " & gfsSQLDateFormat(msPK)

	On Error Resume Next
	' A key that no record has (deleted meanwhile, or not a key at all) is
	' reported as such, not as a deleted record
	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open "SELECT HolidayDate FROM Holidays WHERE HolidayDate = " & gfsSQLDateFormat(msPK), mDbCon, 3, 1, &H1 ' adOpenStatic, adLockReadOnly, adCmdText
	bFound = Not rs.EOF
	If Err.Number = 0 Then rs.Close
	Set rs = Nothing
	If Err.Number = 0 And Not bFound Then
		fbDeleteRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Record not found</SPAN><BR><BR>"
		Exit Function
	End If
	If Err.Number = 0 Then mDbCon.Execute sSQL

	' Now find out if everything worked
	If Err.Number <> 0 Then
		fbDeleteRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Error Deleting Record <BR>" & gfsHTMLEncode(Err.Source & " : " & Err.Description) & "</SPAN><BR><BR>"
		Err.Clear
	Else
		msUserMessage = "<SPAN CLASS=""UserMessage"">Record Deleted</SPAN><BR><BR>"
		fbDeleteRecord = True
	End If

	On Error GoTo 0

End Function


%>
