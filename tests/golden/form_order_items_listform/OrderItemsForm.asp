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
<!--#INCLUDE file="incTVKWAction.asp" -->
<!--#INCLUDE file="incTVKWDisplay.asp" -->
<%
' *** CONSTANTS *************************************************************
' These constants are used to label the buttons
' NOTE - these are needed even if no record editing as used in include files
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add" ' Note - if you change the label of the Add button, be sure to change any related List pages
Const sUPDATE_BUTTON = "Update"
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
Dim maStatus(1,1)


' *** SETUP *******************************************************************
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

' Read in variables from query string etc

' Read in sort order variables
msSortField = gfsSortField(Request("SortField"), Array("[Order Items].[Item ID]", "Products.ProductName"))
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
mDbCon.ConnectionTimeout = Application("Shop_ConnectionTimeout")
mDbCon.CommandTimeout = Application("Shop_CommandTimeout")
mDbCon.Open Application("Shop_ConnectionString"), Application("Shop_RuntimeUserName"), Application("Shop_RuntimePassword")

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this may redirect to list.
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="TVKW_Professional.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TD WIDTH=100%>&nbsp;</TD><TH NOWRAP>&nbsp;OrderItems&nbsp;</TH>
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
			msPK = rs("Item ID")
			Response.Write "<INPUT TYPE=""HIDDEN"" NAME=""PK"" VALUE=""" & gfsHTMLEncode(msPK) & """>"
		End If
	End If

	%>
	<TABLE CLASS="FormTable" BORDER=0 CELLSPACING=2 CELLPADDING=3><TBODY>
	<TR>
		<TH>Item</TH>
		<TD><INPUT TYPE="Text" NAME="Item ID" VALUE="<%= gfsFieldValue(rs,"Item ID") %>" SIZE="11" MAXLENGTH="11"  DISABLED CLASS="READONLY" >
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="Item ID" VALUE="<%= gfsFieldValue(rs,"Item ID") %>" >
		<%= gfsFieldError("Item ID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Product</TH>
		<TD><% gGenerateHTMLSelect "ProductID", gfsFieldValue(rs,"ProductID"), "Products","ProductID","ProductName",true %>		<%= gfsFieldError("ProductID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Shipper</TH>
		<TD><% gGenerateHTMLSelect "ShipVia", gfsFieldValue(rs,"ShipVia"), "Shippers","ShipperID","CompanyName",false %>		<%= gfsFieldError("ShipVia") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Supplier</TH>
		<TD><% gGenerateHTMLRadioInputs "SupplierID", gfsFieldValue(rs,"SupplierID"), "Suppliers","SupplierID","CompanyName" %>		<%= gfsFieldError("SupplierID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Category</TH>
		<TD><INPUT TYPE="Text" NAME="CategoryID" VALUE="<%= gfsFieldValue(rs,"CategoryName") %>" DISABLED CLASS="READONLY" >
		<%= gfsFieldError("CategoryID") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Status</TH>
		<TD><INPUT TYPE="Text" NAME="Status" VALUE="<%= gfsHTMLEncode(gfsArrayValue(maStatus,gfsFieldValue(rs,"Status"))) %>" DISABLED CLASS="READONLY" >
		<%= gfsFieldError("Status") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Qty</TH>
		<TD><INPUT TYPE="Text" NAME="Quantity" VALUE="<%= gfsFieldValue(rs,"Quantity") %>" SIZE="6" MAXLENGTH="6" >
		<%= gfsFieldError("Quantity") %>
		</TD>
	</TR>
	
	<TR>
		<TH>Discount %</TH>
		<TD><INPUT TYPE="Text" NAME="Discount" VALUE="<%= gfsFieldValue(rs,"Discount") %>" SIZE="24" MAXLENGTH="24" >
		<%= gfsFieldError("Discount") %>
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
			<TD><INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sCANCEL_BUTTON %>"></TD>
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
			Response.Redirect "OrderItemsList.asp?PK=" & Server.URLEncode(msPK) & msSortOrderURL
			Response.end

		Case sINSERT_BUTTON
			If fbInsertRecord Then
				Response.Redirect "OrderItemsList.asp?PK=" & Server.URLEncode(msPK) & msSortOrderURL
				Response.end
			End If

	End Select

End Sub


Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging if necessary.

	Dim rs
	Dim sSQL

	sSQL = "SELECT [Order Items].[Item ID], [Order Items].ProductID, Products.ProductName, [Order Items].ShipVia, Shippers.CompanyName AS Shippers_CompanyName, [Order Items].SupplierID, Suppliers.CompanyName AS Suppliers_CompanyName, [Order Items].CategoryID, Categories.CategoryName, [Order Items].Status, [Order Items].Quantity, [Order Items].Discount FROM [Order Items] INNER JOIN Products ON [Order Items].ProductID = Products.ProductID LEFT OUTER JOIN Shippers ON [Order Items].ShipVia = Shippers.ShipperID INNER JOIN Suppliers ON [Order Items].SupplierID = Suppliers.SupplierID LEFT OUTER JOIN Categories ON [Order Items].CategoryID = Categories.CategoryID "
	If Len(msPK) > 0 Then
		sSQL = sSQL & " WHERE [Order Items].[Item ID] = " & gfsSQLNumberFormat(msPK) & ""
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
	rs.Open "SELECT * FROM [Order Items] WHERE 1=0", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic

	rs.AddNew

	On Error Resume Next

	If gfbEmpty(Request.Form("ProductID")) Then
			mDictFieldErrors("ProductID") = "Product Required"
	Else
		rs("ProductID") = Request.Form("ProductID")
		If Err.Number <> 0 Then
			mDictFieldErrors("ProductID") = "Invalid Product"
			Err.Clear
		End If
	End If

	rs("ShipVia") = gfvEmptyToNull(Request.Form("ShipVia"))
	If Err.Number <> 0 Then
		mDictFieldErrors("ShipVia") = "Invalid Shipper"
		Err.Clear
	End If

	If gfbEmpty(Request.Form("SupplierID")) Then
			mDictFieldErrors("SupplierID") = "Supplier Required"
	Else
		rs("SupplierID") = Request.Form("SupplierID")
		If Err.Number <> 0 Then
			mDictFieldErrors("SupplierID") = "Invalid Supplier"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("Quantity")) Then
			mDictFieldErrors("Quantity") = "Qty Required"
	Else
		rs("Quantity") = Request.Form("Quantity")
		If Err.Number <> 0 Then
			mDictFieldErrors("Quantity") = "Invalid Qty"
			Err.Clear
		End If
	End If

	rs("Discount") = gfvEmptyToNull(Request.Form("Discount"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Discount") = "Invalid Discount %"
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
			msPK = rs("Item ID")
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
	maStatus(0,0) = "O" : 	maStatus(1,0) = "Open"
	maStatus(0,1) = "S" : 	maStatus(1,1) = "Shipped"

End Sub 


%>
