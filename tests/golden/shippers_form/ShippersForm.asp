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
Const sDELETE_BUTTON = "Delete"
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


' *** SETUP *******************************************************************
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
mDbCon.open "DSN=Shipping"

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="../styles/"> 
</HEAD>
<BODY>

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
			msPK = rs("ShipperID")
			Response.Write "<INPUT TYPE=""HIDDEN"" NAME=""PK"" VALUE=""" & gfsHTMLEncode(msPK) & """>"
		End If
	End If

	%>
	<INPUT TYPE="HIDDEN" NAME="CurrRecord" VALUE="<%= gfsHTMLEncode(mnCurrRecord) %>">
	<TABLE CLASS="FormTable" BORDER=1 CELLSPACING=0 CELLPADDING=3><TBODY>
	<TR>
		<TH>ShipperID</TH>
		<TD><INPUT TYPE="Text" NAME="ShipperID" VALUE="<%= gfsFieldValue(rs,"ShipperID") %>" SIZE="11" MAXLENGTH="11"  DISABLED CLASS="READONLY" >
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="ShipperID" VALUE="<%= gfsFieldValue(rs,"ShipperID") %>" >
		<%= gfsFieldError("ShipperID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Company</TH>
		<TD><INPUT TYPE="Text" NAME="CompanyName" VALUE="<%= gfsFieldValue(rs,"CompanyName") %>" SIZE="40" MAXLENGTH="40" >
		<%= gfsFieldError("CompanyName") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Phone</TH>
		<TD><INPUT TYPE="Text" NAME="Phone" VALUE="<%= gfsFieldValue(rs,"Phone") %>" SIZE="24" MAXLENGTH="24" >
		<%= gfsFieldError("Phone") %>
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

	Response.write "<TABLE CLASS=""RecordNavigation"" BORDER=1 CELLSPACING=0 CELLPADDING=3><TR>"
	If mnCurrRecord = 1 Then
		Response.Write "<TD>&nbsp;<<&nbsp;</TD>"
		Response.Write "<TD>&nbsp;<&nbsp;</TD>"
	Else
		Response.Write "<TD><A HREF=""?CurrRecord=1" & """>&nbsp;<<&nbsp;</A></TD>"
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord - 1 & """>&nbsp;<&nbsp;</A></TD>"
	End If

	Response.Write "<TD CLASS=""RecordNumber"">Record " & mnCurrRecord & " of " & mnMaxRecords & "</TD>"

	If mnCurrRecord < mnMaxRecords Then
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnCurrRecord + 1 & """>&nbsp;>&nbsp;</A></TD>"
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnMaxRecords & """>&nbsp;>>&nbsp;</A></TD>"
	Else
		Response.Write "<TD>&nbsp;>&nbsp;</TD>"
		Response.Write "<TD>&nbsp;>>&nbsp;</TD>"
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
				<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sDELETE_BUTTON %>" LANGUAGE="JavaScript" OnClick="return confirm('Are you sure you want to delete this record?');"></TD>
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

		Case sINSERT_BUTTON
			If fbInsertRecord Then
				msDataAction = ""
			End If

		Case sDELETE_BUTTON
			If fbDeleteRecord Then
				msPK = "" ' Primary Key not valid anymore cos it's been deleted!
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

	sSQL = "SELECT Shippers.ShipperID, Shippers.CompanyName, Shippers.Phone FROM Shippers "

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.PageSize = 1
	rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText

	If Len(msPK) > 0 And Not rs.EOF Then

		If gfsSQLNumberFormat(msPK) <> "NULL" Then
			rs.Find ("ShipperID=" & gfsSQLNumberFormat(msPK))
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
	rs.Open "SELECT * FROM Shippers WHERE 1=0", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic

	rs.AddNew

	On Error Resume Next

	If gfbEmpty(Request.Form("CompanyName")) Then
			mDictFieldErrors("CompanyName") = "Company Required"
	Else
		rs("CompanyName") = Request.Form("CompanyName")
		If Err.Number <> 0 Then
			mDictFieldErrors("CompanyName") = "Invalid Company"
			Err.Clear
		End If
	End If

	rs("Phone") = gfvEmptyToNull(Request.Form("Phone"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Phone") = "Invalid Phone"
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
			msPK = rs("ShipperID")
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

	 sSQL = " DELETE FROM Shippers WHERE ShipperID = " & gfsSQLNumberFormat(msPK)

	On Error Resume Next
	' A key that no record has (deleted meanwhile, or not a key at all) is
	' reported as such, not as a deleted record
	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open "SELECT ShipperID FROM Shippers WHERE ShipperID = " & gfsSQLNumberFormat(msPK), mDbCon, 3, 1, &H1 ' adOpenStatic, adLockReadOnly, adCmdText
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
