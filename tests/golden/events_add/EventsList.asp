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
Const mnPAGE_SIZE = 20
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"
Const sUPDATE_BUTTON = "Update"
Const sCANCEL_BUTTON = "Cancel"

' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim mnCurrPage
Dim mnMaxPage
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
Dim msPK
Dim msDataAction
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
' Define arrays used for lookup tables
Dim maCategory(1,1)
Dim maStatus(1,0)


' *** SETUP *******************************************************************
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

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

mnCurrPage = Request("CurrPage")
msSortField = gfsSortField(Request("SortField"), Array("Events.Title"))
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "DSN=Events;UID=web"

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
<TH NOWRAP>&nbsp;Events&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<%

Response.write msUserMessage


DisplayList 

'Only display navigation buttons if not in middle of edit operation
If msDataAction = "" Then
	Response.Write "<BR><TABLE BORDER=0 WIDTH=""100%""><TR><TD VALIGN=""middle"" ALIGN=""left"">"
	DisplayPageNavButtons
	Response.Write "</TD><TD VALIGN=""middle"" ALIGN=""right"">"
	DisplayAddButton
	Response.Write "</TD></TR></TABLE>"
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

	If msDataAction = sADD_BUTTON Or msDataAction = sINSERT_BUTTON Then
		DisplayEditLine rs
	End If

	Do Until i = mnPAGE_SIZE Or rs.EOF
		bEvenLine = i Mod 2
		DisplayListLine rs, bEvenLine

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
	Response.write "<TH>" & fsSortingHeader("Events.Title","Title") & "</TH>"
	Response.write "<TH>Category</TH>"
	Response.write "<TH>Notes</TH>"
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
	Response.write "<TD>" & gfsFormatOutput(rs("Title")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(gfsArrayValue(maCategory,rs("Category"))) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Notes")) & "</TD>"
	Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("Public")) & " DISABLED></TD>"
	Response.write "</TR>"

End Sub


Sub DisplayEditLine (rs)

	' Display the current record as an editable row in the list table

	%>
	<FORM METHOD="POST">
	<%= gfsTokenInput() %>
	<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<%= gfsHTMLEncode(msSortField) %>" >
	<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<%= msSortOrder %>" >
	<INPUT TYPE="HIDDEN" NAME="PK" VALUE="<%= gfsFieldValue(rs, "EventID") %>" >

	<TD>
	<INPUT TYPE="Text" NAME="Title" VALUE="<%= gfsFieldValue(rs,"Title") %>" SIZE="100" MAXLENGTH="100" >
	<BR><%= gfsFieldError("Title") %>
	</TD>

	<TD>
	<% gGenerateHTMLRadioInputsFromArray "Category", gfsFieldValue(rs,"Category"), maCategory %>
	<BR><%= gfsFieldError("Category") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="Notes" VALUE="<%= gfsFieldValue(rs,"Notes") %>">
	<BR><%= gfsFieldError("Notes") %>
	</TD>

	<TD>
	<INPUT TYPE="Checkbox" NAME="Public" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"Public")) %>>
	<BR><%= gfsFieldError("Public") %>
	</TD>

	</TR><TR CLASS="EditLine"><TD COLSPAN="5" ALIGN=RIGHT>
	<%
	' Now write out data action buttons State can be :
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	 'Add,Insert - Show Update, Cancel -->

	Select Case msDataAction
		Case sADD_BUTTON, sINSERT_BUTTON
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sINSERT_BUTTON & ">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sCANCEL_BUTTON & ">&nbsp;&nbsp;"
	End Select

	Response.write "</TD></TR></FORM>" 

End Sub


Sub DisplayPageNavButtons

	Response.write "<TABLE CLASS=""PageNavigation"" BORDER=1 CELLSPACING=0 CELLPADDING=3><TR>"
	If mnCurrPage = 1 Then
		Response.Write "<TD>&nbsp;<<&nbsp;</TD>"
		Response.Write "<TD>&nbsp;<&nbsp;</TD>"
	Else
		Response.Write "<TD><A HREF='?CurrPage=1" & msSortOrderURL & "'>&nbsp;<<&nbsp;</A></TD>"
		Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage - 1 & msSortOrderURL & "'>&nbsp;<&nbsp;</A></TD>"
	End If

	Response.Write "<TD CLASS=""PageNumber"">Page " & mnCurrPage & " of " & mnMaxPage & "</TD>"

	If mnCurrPage < mnMaxPage Then
		Response.Write "<TD><A HREF='?CurrPage=" & mnCurrPage + 1 & msSortOrderURL &"'>&nbsp;>&nbsp;</A></TD>"
		Response.Write "<TD><A HREF='?CurrPage=" & mnMaxPage & msSortOrderURL & "'>&nbsp;>>&nbsp;</A></TD>"
	Else
		Response.Write "<TD>&nbsp;>&nbsp;</TD>"
		Response.Write "<TD>&nbsp;>>&nbsp;</TD>"
	End If
	Response.write "</TR></TABLE>"

End Sub


Sub DisplayAddButton

	%>
	<TABLE BORDER="0">	<FORM ACTION="" METHOD="post"><TR><TD>
	<%= gfsTokenInput() %>
	<INPUT TYPE="Hidden" NAME="SortOrder" VALUE="<% = msSortOrder %>">
	<INPUT TYPE="Hidden" NAME="SortField" VALUE="<% = gfsHTMLEncode(msSortField) %>">
	<INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sADD_BUTTON %>">
	</TD></TR></FORM></TABLE>
	<%
End Sub



' *** DATABASE ROUTINES *******************************************************

Sub PerformDataActions

	' Run an action if the user clicks on an update button (Add, Update, Delete etc)
	' If the data action succeeds then set DataAction to empty string


	Select Case msDataAction

		Case sINSERT_BUTTON
			If fbInsertRecord Then
				msDataAction = ""
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

	On Error Resume Next
	mnCurrPage = CLng(mnCurrPage)
	If Err.Number > 0 Then
		mnCurrPage = 1
		Err.Clear
	End If
	On Error GoTo 0

	sSQL = "SELECT EventID, Events.Title, Events.Category, Events.Notes, Events.Public FROM Events "

	' Apply Sorting
	If msSortOrder <> "" Then
		sSQL = sSQL & " ORDER BY " & msSortField & " " & msSortOrder
	End If

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.PageSize = mnPAGE_SIZE
	rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText

	' If we have just added a new record or been transfered from the form page
	' then find out which page the record is on and display that page.
	If Len(msPK) > 0 And msDataAction = "" And NOT (rs.BOF OR rs.EOF) Then
		If gfsSQLNumberFormat(msPK) <> "NULL" Then
			rs.Find ("EventID=" & gfsSQLNumberFormat(msPK))
		End If
		If rs.AbsolutePage > 0 Then
			' Found the record we are looking for, get page number
			mnCurrPage = rs.AbsolutePage
			mnMaxPage = rs.PageCount
			' Reload page - otherwise record will be at start of page, instead of correct position on page
			rs.AbsolutePage = mnCurrPage
		Else
			' Didn't find the record we are looking for, so go back to page 1
			mnCurrPage = 1
			rs.AbsolutePage = mnCurrPage
			mnMaxPage = rs.PageCount
		End If
	Else
		' Otherwise go to the start of the current page - checking that the page number is valid of course!
		mnMaxPage = rs.PageCount
		If mnCurrPage > mnMaxPage Then
			mnCurrPage = mnMaxPage
		End If
		 If mnCurrPage < 1 Then
			mnCurrPage = 1
		End If
		If NOT (rs.BOF OR rs.EOF) Then
			rs.AbsolutePage = mnCurrPage
		End If
	End If

	Set frsGetRecordset = rs

End Function


Function fbInsertRecord()

	Dim rs

	' Inserts a new record into the database. Returns TRUE on success, FALSE on error.
	' On Error mDictFieldErrors holds a dictionary object containing any field errors
	' msUserMessage is set to a message of failure / success.

	' Only a form of this site, posted in this session, may change records
	If Not gfbVerifiedChange() Then
		fbInsertRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">The request could not be verified; please try again.</SPAN><BR><BR>"
		Exit Function
	End If

	' Set up a dictionary object for any field errors
	Set mDictFieldErrors = Server.CreateObject("Scripting.Dictionary")

	Set rs = Server.CreateObject("ADODB.Recordset")
	' Note - need to open as a keyset recordset otherwise we will not be able
	' to find out any Identity (Autonumber) generated primary key for the new record

	' (no rows: the new record is all it needs)
	rs.Open "SELECT * FROM Events WHERE 1=0", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic

	rs.AddNew

	On Error Resume Next

	If gfbEmpty(Request.Form("Title")) Then
			mDictFieldErrors("Title") = "Title Required"
	Else
		rs("Title") = Request.Form("Title")
		If Err.Number <> 0 Then
			mDictFieldErrors("Title") = "Invalid Title"
			Err.Clear
		End If
	End If

	rs("Category") = gfvEmptyToNull(Request.Form("Category"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Category") = "Invalid Category"
		Err.Clear
	End If

	rs("Notes") = gfvEmptyToNull(Request.Form("Notes"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Notes") = "Invalid Notes"
		Err.Clear
	End If

	rs("Public") = gfbRequestValue("Public")
	If Err.Number <> 0 Then
		mDictFieldErrors("Public") = "Invalid Public"
		Err.Clear
	End If

	' Now find out if everything worked
	If mDictFieldErrors.Count = 0 Then
		' No Errors so far, so try and insert record
		rs.Update
		If Err.Number <> 0 Then
			fbInsertRecord = False
			msUserMessage = "<SPAN CLASS=""MainError"">Error Inserting Record</SPAN><BR><BR>"
			' General error, not error with a particular field
			Err.Clear
			rs.CancelUpdate
		Else
			msUserMessage = "<SPAN CLASS=""UserMessage"">Record Inserted</SPAN><BR><BR>"
			fbInsertRecord = True
			' Get the Primary Key for use when returning to list, or finding this
			' new record in the form.
			msPK = rs("EventID")
			Set mDictFieldErrors = Nothing
		End If
	Else
		rs.CancelUpdate
		fbInsertRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Error Inserting Record</SPAN><BR><BR>"
	End If

	On Error GoTo 0

	rs.Close
	Set rs = Nothing

End Function


Sub GenerateLookupArrays()

	' Fill up the arrays holding the manual lookup lists
	maCategory(0,0) = "A" : 	maCategory(1,0) = "Art"
	maCategory(0,1) = "M" : 	maCategory(1,1) = "Music"


End Sub 


%>
