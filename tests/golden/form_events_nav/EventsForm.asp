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
<!--#INCLUDE file="../include/incTVKWAction.asp" -->
<!--#INCLUDE file="../include/incTVKWDisplay.asp" -->
<%
' *** CONSTANTS *************************************************************
' These constants are used to label the buttons
' NOTE - these are needed even if no record editing as used in include files
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add" ' Note - if you change the label of the Add button, be sure to change any related List pages
Const sUPDATE_BUTTON = "Update"
Const sEDIT_BUTTON = "Edit"
Const sCANCEL_BUTTON = "Cancel"


' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim mnCurrRecord
Dim mnMaxRecords
Dim msDataAction
Dim mbEmptyRS
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
Dim msPK

' Define arrays used for lookup tables
Dim maKind(1,1)
Dim maRoom(1,2)


' *** SETUP *******************************************************************
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

' Read in variables from query string etc

' Read pageing records
mnCurrRecord = Request.Form("CurrRecord")
If Len(mnCurrRecord) = 0 Then
	' Variables from the FORM request overide those in Query string
	mnCurrRecord = Request.QueryString("CurrRecord")
End If

' Read Primary Key variables
msPK = Request.Form("PK")
If Len(msPK) = 0 Then
	' Variables from the FORM request overide those in Query string
	msPK = Request.QueryString("PK")
End If

' Get the data action to be performed
msDataAction = Request.Form("DataAction")
If Len(msDataAction) = 0 Then 
	' If no data action from Form variables, see if we have been sent anything in the URL
	msDataAction = Request.QueryString("DataAction")
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "DSN=Events;UID=web"

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="../styles/TVKW_XP.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TH NOWRAP>&nbsp;Events&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<CENTER>
<FORM METHOD="POST">
<%= gfsTokenInput() %>
<%

Response.write msUserMessage

Response.write "<TABLE BORDER=0><TR><TD ALIGN=""CENTER"" COLSPAN=2>"

DisplayForm

Response.Write "</TD></TR><TR><TD ALIGN=""RIGHT"">"

DisplayRecordActionButtons

If msDataAction <> sINSERT_BUTTON And msDataAction <> sADD_BUTTON Then
	' Only show navigation buttons if we are not in the middle of an insert
	Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
	DisplayRecordNavButtons
End If

Response.Write "</TD></TR></TABLE>"

%>
</FORM>
</BODY>
</HTML>
<%

' *** TERMINATE ***************************************************************
' Close database connection
mDbCon.Close
set mDbCon = Nothing 


' *** ROUTINES ****************************************************************

Sub DisplayForm()

	Dim rs

	If msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then
		' Unless we are in the process of adding a record then get the
		' record from the database ready for display.
		Set rs = frsGetRecordset
		If rs.BOF OR rs.EOF Then
			Response.Write "<SPAN CLASS=""UserMessage"">Empty Table</SPAN><BR><BR>"
			rs.Close
			set rs = nothing
			mbEmptyRS = true
			Exit Sub
		Else
			msPK = rs("EventCode")
			Response.Write "<INPUT TYPE=""HIDDEN"" NAME=""PK"" VALUE=""" & gfsHTMLEncode(msPK) & """>"
		End If
	End If

	%>
	<INPUT TYPE="HIDDEN" NAME="CurrRecord" VALUE="<%= gfsHTMLEncode(mnCurrRecord) %>">
	<TABLE CLASS="FormTable" BORDER=0 CELLSPACING=1 CELLPADDING=3><TBODY>
	<TR>
		<TH>Code</TH>
		<TD><INPUT TYPE="Text" NAME="EventCode" VALUE="<%= gfsFieldValue(rs,"EventCode") %>" SIZE="8" MAXLENGTH="8" >
		<%= gfsFieldError("EventCode") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Title</TH>
		<TD><INPUT TYPE="Text" NAME="Title" VALUE="<%= gfsFieldValue(rs,"Title") %>" SIZE="60" MAXLENGTH="60" >
		<%= gfsFieldError("Title") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Starts on</TH>
		<TD><INPUT TYPE="Text" NAME="Starts" VALUE="<%= gfsFieldValue(rs,"Starts") %>">
		<%= gfsFieldError("Starts") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Notes</TH>
		<TD><TEXTAREA NAME="Notes" ROWS="5" COLS="50"><%= gfsFieldValue(rs,"Notes") %></TEXTAREA>
		<%= gfsFieldError("Notes") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Public</TH>
		<TD><INPUT TYPE="Checkbox" NAME="Public" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"Public")) %>>
		<%= gfsFieldError("Public") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Kind</TH>
		<TD><% gGenerateHTMLRadioInputsFromArray "Kind", gfsFieldValue(rs,"Kind"), maKind %>		<%= gfsFieldError("Kind") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Room</TH>
		<TD><% gGenerateHTMLSelectFromArray "Room", gfsFieldValue(rs,"Room"), maRoom,false %>		<%= gfsFieldError("Room") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Created</TH>
		<TD><INPUT TYPE="Text" NAME="Created" VALUE="<%= gfsFieldValue(rs,"Created") %>" DISABLED CLASS="READONLY" >
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="Created" VALUE="<%= gfsFieldValue(rs,"Created") %>" >
		<%= gfsFieldError("Created") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Archived</TH>
		<TD><INPUT TYPE="Checkbox" NAME="Archived" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"Archived")) %> DISABLED CLASS="READONLY" >
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="Archived" VALUE="<%= gfsFieldValue(rs,"Archived") %>" >
		<%= gfsFieldError("Archived") %>
		</TD>
	</TR>
	
	</TBODY></TABLE>
	<%

	If msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then
		rs.Close
		set rs = nothing
	End IF

End Sub


Sub DisplayRecordNavButtons()

	Response.write "<TABLE CLASS=""RecordNavigation"" BORDER=0 CELLSPACING=1 CELLPADDING=3><TR>"
	If mnCurrRecord = 1 Then
		Response.Write "<TD>&nbsp;<&nbsp;</TD>"
	Else
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord - 1 & """>&nbsp;<&nbsp;</A></TD>"
	End If

	If mnCurrRecord < mnMaxRecords Then
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord + 1 & """>&nbsp;>&nbsp;</A></TD>"
	Else
		Response.Write "<TD>&nbsp;>&nbsp;</TD>"
	End If

	Response.Write "</TR></TABLE>"
End Sub


Sub DisplayRecordActionButtons()

	' State can be : 
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	' Add,Insert - Show Update, Cancel

	Select Case msDataAction
		Case sADD_BUTTON, sINSERT_BUTTON
			%>
			<TABLE BORDER="0"><TR>
			<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sCANCEL_BUTTON %>"></TD>
			<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sINSERT_BUTTON %>"></TD>
			</TR></TABLE>
			<%
		Case Else
			%>
			<TABLE BORDER="0"><TR>
			<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sADD_BUTTON %>"></TD>
			<%
			If Not mbEmptyRS Then
				%>
				<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sUPDATE_BUTTON %>"></TD>
				<%
			End If
			%>
			</TR></TABLE>
			<%
	End Select

End Sub




' *** DATABASE ROUTINES *******************************************************


Sub PerformDataActions

	' Run an action if the user clicks on an update button (Add, Update, Delete etc)
	' If the data action succeeds then set DataAction to empty string

	Select Case msDataAction


		Case sCANCEL_BUTTON
			msDataAction = ""

		Case sUPDATE_BUTTON
			If fbUpdateRecord Then
				msDataAction = ""
			End If

		Case sINSERT_BUTTON
			If fbInsertRecord Then
				msDataAction = ""
			End If

	End Select

End Sub


Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging if necessary.

	Dim rs
	Dim sSQL

	On Error Resume Next
	mnCurrRecord = CLng(mnCurrRecord)
	If Err.Number > 0 Then
		mnCurrRecord = 1
		Err.Clear
	End If
	On Error GoTo 0

	sSQL = "SELECT Events.EventCode, Events.Title, Events.Starts, Events.Notes, Events.Public, Events.Kind, Events.Room, Events.Created, Events.Archived FROM Events "

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.PageSize = 1
	rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText

	If Len(msPK) > 0 And Not rs.EOF Then

		If gfsSQLTextFormat(msPK) <> "NULL" Then
			rs.Find ("EventCode=" & gfsSQLTextFormat(msPK))
		End If
		
		If rs.AbsolutePage > 0 Then
			' Found the record
			mnMaxRecords = rs.PageCount
			mnCurrRecord = rs.AbsolutePage
		Else
			' Didnt find the record, so go to record 1
			mnMaxRecords = rs.PageCount
			rs.AbsolutePage = 1
			mnCurrRecord = rs.AbsolutePage
		End If

	Else

		mnMaxRecords = rs.PageCount
		If mnCurrRecord > mnMaxRecords Then
		mnCurrRecord = mnMaxRecords
		End If
		If mnCurrRecord < 1 Then
			mnCurrRecord = 1
		End If
		If NOT (rs.BOF OR rs.EOF) Then
			rs.AbsolutePage = mnCurrRecord
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

	If gfbEmpty(Request.Form("EventCode")) Then
			mDictFieldErrors("EventCode") = "Code Required"
	Else
		rs("EventCode") = Request.Form("EventCode")
		If Err.Number <> 0 Then
			mDictFieldErrors("EventCode") = "Invalid Code"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("Title")) Then
			mDictFieldErrors("Title") = "Title Required"
	Else
		rs("Title") = Request.Form("Title")
		If Err.Number <> 0 Then
			mDictFieldErrors("Title") = "Invalid Title"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("Starts")) Then
			mDictFieldErrors("Starts") = "Starts on Required"
	Else
		rs("Starts") = Request.Form("Starts")
		If Err.Number <> 0 Then
			mDictFieldErrors("Starts") = "Invalid Starts on"
			Err.Clear
		End If
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

	If gfbEmpty(Request.Form("Kind")) Then
			mDictFieldErrors("Kind") = "Kind Required"
	Else
		rs("Kind") = Request.Form("Kind")
		If Err.Number <> 0 Then
			mDictFieldErrors("Kind") = "Invalid Kind"
			Err.Clear
		End If
	End If

	rs("Room") = gfvEmptyToNull(Request.Form("Room"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Room") = "Invalid Room"
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
			msPK = rs("EventCode")
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


Function fbUpdateRecord()

	Dim rs
	Dim sSQL

	' Updates a record in the database. Returns TRUE on success, FALSE on error.
	' On Error mDictFieldErrors holds a dictionary object containing any field errors
	' msUserMessage is set to a message of failure / success.

	' Only a form of this site, posted in this session, may change records
	If Not gfbVerifiedChange() Then
		fbUpdateRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">The request could not be verified; please try again.</SPAN><BR><BR>"
		Exit Function
	End If

	' Set up a dictionary object for any field errors
	Set mDictFieldErrors = Server.CreateObject("Scripting.Dictionary")

	sSQL = "SELECT * FROM Events WHERE EventCode = " & gfsSQLTextFormat(msPK)

	Set rs = Server.CreateObject("ADODB.Recordset")

	' A statement the database refuses is a failed update, not a stopped page
	On Error Resume Next
	rs.Open sSQL, mDbCon, 3, 3 ' adOpenStatic, adLockOptimistic
	If Err.Number <> 0 Then
		Err.Clear
		Set rs = Nothing
		fbUpdateRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
		Exit Function
	End If
	On Error GoTo 0

	If rs.EOF Then
		' No record has that key (deleted meanwhile, or not a key at all)
		rs.Close
		Set rs = Nothing
		fbUpdateRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
		Exit Function
	End If

	rs.Update

	On Error Resume Next

	If gfbEmpty(Request.Form("EventCode")) Then
			mDictFieldErrors("EventCode") = "Code Required"
	Else
		rs("EventCode") = Request.Form("EventCode")
		If Err.Number <> 0 Then
			mDictFieldErrors("EventCode") = "Invalid Code"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("Title")) Then
			mDictFieldErrors("Title") = "Title Required"
	Else
		rs("Title") = Request.Form("Title")
		If Err.Number <> 0 Then
			mDictFieldErrors("Title") = "Invalid Title"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("Starts")) Then
			mDictFieldErrors("Starts") = "Starts on Required"
	Else
		rs("Starts") = Request.Form("Starts")
		If Err.Number <> 0 Then
			mDictFieldErrors("Starts") = "Invalid Starts on"
			Err.Clear
		End If
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

	If gfbEmpty(Request.Form("Kind")) Then
			mDictFieldErrors("Kind") = "Kind Required"
	Else
		rs("Kind") = Request.Form("Kind")
		If Err.Number <> 0 Then
			mDictFieldErrors("Kind") = "Invalid Kind"
			Err.Clear
		End If
	End If

	rs("Room") = gfvEmptyToNull(Request.Form("Room"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Room") = "Invalid Room"
		Err.Clear
	End If

	' Now find out if everything worked
	If mDictFieldErrors.Count = 0 Then
		' No Errors so far, so try and update record
		rs.Update
		If Err.Number <> 0 Then
			fbUpdateRecord = False
			msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
			' General error, not error with a particular field
			Err.Clear
			rs.CancelUpdate
		Else
			msUserMessage = "<SPAN CLASS=""UserMessage"">Record Updated</SPAN><BR><BR>"
			fbUpdateRecord = True
			' Get the Primary Key for use when returning to list, or finding this
			' new record in the form.
			msPK = rs("EventCode")
			Set mDictFieldErrors = Nothing
		End If
	Else
		rs.CancelUpdate
		fbUpdateRecord = False
		msUserMessage = "<SPAN CLASS=""MainError"">Error Updating Record</SPAN><BR><BR>"
	End If

	On Error GoTo 0

	rs.Close
	Set rs = Nothing

End Function


Sub GenerateLookupArrays()

	' Fill up the arrays holding the manual lookup lists
	maKind(0,0) = "M" : 	maKind(1,0) = "Meeting"
	maKind(0,1) = "C" : 	maKind(1,1) = "Concert ""live"""

	maRoom(0,0) = "1" : 	maRoom(1,0) = "Hall"
	maRoom(0,1) = "2" : 	maRoom(1,1) = "Foyer"
	maRoom(0,2) = "3" : 	maRoom(1,2) = "Garden"

End Sub 


%>
