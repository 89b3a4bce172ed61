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
Const sLIST_BUTTON = "List"
Const sCANCEL_BUTTON = "Cancel"


' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim msDataAction
Dim mbEmptyRS
Dim mDictFieldErrors   ' Holds database field errors in a Dictionary object.
Dim msUserMessage      ' Message to display to user after data action (e.g. update = Record Updated)
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
Dim msPK

' Define arrays used for lookup tables
Dim maRegion(1,1)


' *** SETUP *******************************************************************
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

' Read in variables from query string etc

' Read in sort order variables
msSortField = gfsSortField(Request("SortField"), Array())
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
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
mDbCon.open "DSN=Purchasing"

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="TVKW_XP.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TH NOWRAP>&nbsp;Suppliers&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<CENTER>
<FORM METHOD="POST">
<%= gfsTokenInput() %>
<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<% = gfsHTMLEncode(msSortField) %>">
<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<% = msSortOrder %>">
<%

Response.write msUserMessage

Response.write "<TABLE BORDER=0><TR><TD ALIGN=""CENTER"" COLSPAN=2>"

DisplayForm

Response.Write "</TD></TR><TR><TD ALIGN=""RIGHT"">"

DisplayRecordActionButtons


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
			msPK = rs("SupplierID")
			Response.Write "<INPUT TYPE=""HIDDEN"" NAME=""PK"" VALUE=""" & gfsHTMLEncode(msPK) & """>"
		End If
	End If

	%>
	<TABLE CLASS="FormTable" BORDER=0 CELLSPACING=1 CELLPADDING=3><TBODY>
	<TR>
		<TH>SupplierID</TH>
		<TD><INPUT TYPE="Text" NAME="SupplierID" VALUE="<%= gfsFieldValue(rs,"SupplierID") %>" SIZE="11" MAXLENGTH="11"  DISABLED CLASS="READONLY" >
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="SupplierID" VALUE="<%= gfsFieldValue(rs,"SupplierID") %>" >
		<%= gfsFieldError("SupplierID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Company</TH>
		<TD><INPUT TYPE="Text" NAME="CompanyName" VALUE="<%= gfsFieldValue(rs,"CompanyName") %>" SIZE="40" MAXLENGTH="40" >
		<%= gfsFieldError("CompanyName") %>
		</TD>
	</TR>
	
	<TR>
		<TH>City</TH>
		<TD><INPUT TYPE="Text" NAME="City" VALUE="<%= gfsFieldValue(rs,"City") %>" SIZE="15" MAXLENGTH="15" >
		<%= gfsFieldError("City") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Region</TH>
		<TD><% gGenerateHTMLSelectFromArray "Region", gfsFieldValue(rs,"Region"), maRegion,true %>		<%= gfsFieldError("Region") %>
		</TD>
	</TR>
	
	</TBODY></TABLE>
	<%

	If msDataAction <> sADD_BUTTON And msDataAction <> sINSERT_BUTTON Then
		rs.Close
		set rs = nothing
	End IF

End Sub


Sub DisplayRecordActionButtons()

	' State can be : 
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	' Add,Insert - Show Update, Cancel

	%>
	<TABLE BORDER="0"><TR>
	<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sCANCEL_BUTTON %>"></TD>
		<%
	If Not mbEmptyRS Then
		%>
		<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sUPDATE_BUTTON %>"></TD>
		<%
	End If
		%>
	</TR></TABLE>
	<%

End Sub




' *** DATABASE ROUTINES *******************************************************


Sub PerformDataActions

	' Run an action if the user clicks on an update button (Add, Update, Delete etc)
	' If the data action succeeds then set DataAction to empty string

	Select Case msDataAction

		Case sCANCEL_BUTTON
			Response.Redirect "SuppliersList.asp?PK=" & Server.URLEncode(msPK) & msSortOrderURL
			Response.end

		Case sUPDATE_BUTTON
			If fbUpdateRecord Then
				Response.Redirect "SuppliersList.asp?PK=" & Server.URLEncode(msPK) & msSortOrderURL
				Response.end
			End If

	End Select

End Sub


Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging if necessary.

	Dim rs
	Dim sSQL

	sSQL = "SELECT Suppliers.SupplierID, Suppliers.CompanyName, Suppliers.City, Suppliers.Region FROM Suppliers "
	If Len(msPK) > 0 Then
		sSQL = sSQL & " WHERE Suppliers.SupplierID = " & gfsSQLNumberFormat(msPK) & ""
	End If

	' Apply Sorting
	If msSortOrder <> "" Then
		sSQL = sSQL & " ORDER BY " & msSortField & " " & msSortOrder
	End If

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open sSQL, mdbCon

	Set frsGetRecordset = rs

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

	sSQL = "SELECT * FROM Suppliers WHERE SupplierID = " & gfsSQLNumberFormat(msPK)

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

	If gfbEmpty(Request.Form("CompanyName")) Then
			mDictFieldErrors("CompanyName") = "Company Required"
	Else
		rs("CompanyName") = Request.Form("CompanyName")
		If Err.Number <> 0 Then
			mDictFieldErrors("CompanyName") = "Invalid Company"
			Err.Clear
		End If
	End If

	rs("City") = gfvEmptyToNull(Request.Form("City"))
	If Err.Number <> 0 Then
		mDictFieldErrors("City") = "Invalid City"
		Err.Clear
	End If

	If gfbEmpty(Request.Form("Region")) Then
			mDictFieldErrors("Region") = "Region Required"
	Else
		rs("Region") = Request.Form("Region")
		If Err.Number <> 0 Then
			mDictFieldErrors("Region") = "Invalid Region"
			Err.Clear
		End If
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
			msPK = rs("SupplierID")
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
	maRegion(0,0) = "N" : 	maRegion(1,0) = "North"
	maRegion(0,1) = "S" : 	maRegion(1,1) = "South"

End Sub 


%>
