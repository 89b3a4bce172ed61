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
Const mnPAGE_SIZE = 10
Const mnMAX_DIRECT_PAGES = 10
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"
Const sUPDATE_BUTTON = "Update"
Const sCANCEL_BUTTON = "Cancel"
Const sDELETE_BUTTON = "Delete"

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
Dim maShipVia(1,2)
Dim maShipCountry(1,1)


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
msSortField = gfsSortField(Request("SortField"), Array("Orders.OrderID", "Customers.CompanyName", "Orders.OrderDate"))
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.ConnectionTimeout = Application("Northwind_ConnectionTimeout")
mDbCon.CommandTimeout = Application("Northwind_CommandTimeout")
mDbCon.Open Application("Northwind_ConnectionString"), Application("Northwind_RuntimeUserName"), Application("Northwind_RuntimePassword")

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this could change DataAction state
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="../styles/TVKW_Professional.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TD WIDTH=100%>&nbsp;</TD><TH NOWRAP>&nbsp;Orders&nbsp;</TH>
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
	Response.Write "</TD></TR><TR><TD COLSPAN=""2"">"
	DisplayDirectPageNav
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

	Response.Write "<TABLE CLASS=""ListTable"" WIDTH=""100%"" BORDER=0 CELLSPACING=2 CELLPADDING=3>"
	DisplayListHeader
	Response.Write "<TBODY>"

	If msDataAction = sADD_BUTTON Or msDataAction = sINSERT_BUTTON Then
		DisplayEditLine rs
	End If

	Do Until i = mnPAGE_SIZE Or rs.EOF

		If CStr(rs("OrderID")) = msPK AND ( msDataAction = sEDIT_BUTTON OR msDataAction = sUPDATE_BUTTON ) Then
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
	Response.write "<TH>" & fsSortingHeader("Orders.OrderID","Order") & "</TH>"
	Response.write "<TH>" & fsSortingHeader("Customers.CompanyName","Customer") & "</TH>"
	Response.write "<TH>Employee</TH>"
	Response.write "<TH>" & fsSortingHeader("Orders.OrderDate","Ordered") & "</TH>"
	Response.write "<TH>Ship Via</TH>"
	Response.write "<TH>Freight</TH>"
	Response.write "<TH>Shipped</TH>"
	Response.write "<TH>Ship Name</TH>"
	Response.write "<TH>Country</TH>"
	Response.write "<TH>Reviewed By</TH>"
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
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""..//TVKW_Pro_SortAsc.gif"" BORDER=0 ALT=""Sorted in Ascending Order"">" ' Ascending order
		Else
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""..//TVKW_Pro_SortDesc.gif"" BORDER=0 ALT=""Sorted in Descending Order"">" ' Descending order
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
	Response.write "<TH><A HREF=""" & gfsHTMLEncode("?DataAction=" & sEDIT_BUTTON & "&PK=" & gfsURLEncode(rs("OrderID")) & "&CurrPage=" & mnCurrPage & msSortOrderURL) & """><IMG SRC=""..//TVKW_Pro_EditRecord.gif"" BORDER=0 ALT=""Edit Record""></A></TH>"
	Response.write "<TD>" & gfsFormatOutput(rs("OrderID")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("CompanyName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("LastName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("OrderDate")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(gfsArrayValue(maShipVia,rs("ShipVia"))) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Freight")) & "</TD>"
	Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("Shipped")) & " DISABLED></TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("ShipName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(gfsArrayValue(maShipCountry,rs("ShipCountry"))) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("FullName")) & "</TD>"
	Response.write "</TR>"

End Sub


Sub DisplayEditLine (rs)

	' Display the current record as an editable row in the list table

	%>
	<FORM METHOD="POST">
	<%= gfsTokenInput() %>
	<INPUT TYPE="HIDDEN" NAME="SortField" VALUE="<%= gfsHTMLEncode(msSortField) %>" >
	<INPUT TYPE="HIDDEN" NAME="SortOrder" VALUE="<%= msSortOrder %>" >
	<INPUT TYPE="HIDDEN" NAME="PK" VALUE="<%= gfsFieldValue(rs, "OrderID") %>" >

	<TR CLASS="EditLine"><TD>&nbsp;</TD>
	<TD>
	<INPUT TYPE="Text" NAME="OrderID" VALUE="<%= gfsFieldValue(rs,"OrderID") %>" SIZE="11" MAXLENGTH="11"  DISABLED CLASS="READONLY" >	<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
	<INPUT TYPE="HIDDEN" NAME="OrderID" VALUE="<%= gfsFieldValue(rs,"OrderID") %>" >
	<BR><%= gfsFieldError("OrderID") %>
	</TD>

	<TD>
	<% gGenerateHTMLSelect "CustomerID", gfsFieldValue(rs,"CustomerID"), "Customers","CustomerID","CompanyName",true %>
	<BR><%= gfsFieldError("CustomerID") %>
	</TD>

	<TD>
	<% gGenerateHTMLRadioInputs "EmployeeID", gfsFieldValue(rs,"EmployeeID"), "Employees","EmployeeID","LastName" %>
	<BR><%= gfsFieldError("EmployeeID") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="OrderDate" VALUE="<%= gfsFieldValue(rs,"OrderDate") %>">
	<BR><%= gfsFieldError("OrderDate") %>
	</TD>

	<TD>
	<% gGenerateHTMLSelectFromArray "ShipVia", gfsFieldValue(rs,"ShipVia"), maShipVia,true %>
	<BR><%= gfsFieldError("ShipVia") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="Freight" VALUE="<%= gfsFieldValue(rs,"Freight") %>" SIZE="21" MAXLENGTH="21" >
	<BR><%= gfsFieldError("Freight") %>
	</TD>

	<TD>
	<INPUT TYPE="Checkbox" NAME="Shipped" VALUE="1" <%= gfsFieldChecked(gfsFieldValue(rs,"Shipped")) %>>
	<BR><%= gfsFieldError("Shipped") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="ShipName" VALUE="<%= gfsFieldValue(rs,"ShipName") %>" SIZE="40" MAXLENGTH="40"  DISABLED CLASS="READONLY" >	<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
	<INPUT TYPE="HIDDEN" NAME="ShipName" VALUE="<%= gfsFieldValue(rs,"ShipName") %>" >
	<BR><%= gfsFieldError("ShipName") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="ShipCountry" VALUE="<%= gfsHTMLEncode(gfsArrayValue(maShipCountry,gfsFieldValue(rs,"ShipCountry"))) %>" DISABLED CLASS="READONLY" >

	<BR><%= gfsFieldError("ShipCountry") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="ReviewedBy" VALUE="<%= gfsFieldValue(rs,"FullName") %>" DISABLED CLASS="READONLY" >

	<BR><%= gfsFieldError("ReviewedBy") %>
	</TD>

	</TR><TR CLASS="EditLine"><TD COLSPAN="11" ALIGN=RIGHT>
	<%
	' Now write out data action buttons State can be :
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	 'Add,Insert - Show Update, Cancel -->

	Select Case msDataAction
		Case sADD_BUTTON, sINSERT_BUTTON
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sINSERT_BUTTON & ">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sCANCEL_BUTTON & ">&nbsp;&nbsp;"
		Case Else
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sUPDATE_BUTTON & ">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sDELETE_BUTTON & "  LANGUAGE=""JavaScript"" OnClick=""return confirm('Are you sure you want to delete this record?');"">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sCANCEL_BUTTON & ">&nbsp;&nbsp;"
	End Select

	Response.write "</TD></TR></FORM>" 

End Sub


Sub DisplayPageNavButtons

	Response.write "<TABLE CLASS=""PageNavigation"" BORDER=0 CELLSPACING=2 CELLPADDING=3><TR>"
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


Sub DisplayDirectPageNav

	Dim i
	Dim iMax

	If mnMAX_DIRECT_PAGES < mnMaxPage Then
		iMax = mnMAX_DIRECT_PAGES
	Else
		iMax = mnMaxPage
	End If

	Response.write "<TABLE WIDTH=""100%"" CLASS=""PageNumbers"" BORDER=0 CELLSPACING=2 CELLPADDING=3><TR>"

	For i = 1 to iMax
		If i = mnCurrPage Then
			Response.Write "<TD CLASS=""CurrentPage"">" & i & "</TD>"
		Else
			Response.Write "<TD><A HREF='?CurrPage=" & i & msSortOrderURL & "'>" & i & "</A></TD>"
		End If
	Next

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
		Case sUPDATE_BUTTON
			If fbUpdateRecord Then
				msDataAction = ""
			End If

		Case sINSERT_BUTTON
			If fbInsertRecord Then
				msDataAction = ""
			End If

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

	On Error Resume Next
	mnCurrPage = CLng(mnCurrPage)
	If Err.Number > 0 Then
		mnCurrPage = 1
		Err.Clear
	End If
	On Error GoTo 0

	sSQL = "SELECT Orders.OrderID, Orders.CustomerID, Customers.CompanyName, Orders.EmployeeID, Employees.LastName, Orders.OrderDate, Orders.ShipVia, Orders.Freight, Orders.Shipped, Orders.ShipName, Orders.ShipCountry, Orders.ReviewedBy, Managers.FullName FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID LEFT OUTER JOIN Employees ON Orders.EmployeeID = Employees.EmployeeID LEFT OUTER JOIN Managers ON Orders.ReviewedBy = Managers.ManagerID "

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
			rs.Find ("OrderID=" & gfsSQLNumberFormat(msPK))
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
	rs.Open "SELECT * FROM Orders WHERE 1=0", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic

	rs.AddNew

	On Error Resume Next

	If gfbEmpty(Request.Form("CustomerID")) Then
			mDictFieldErrors("CustomerID") = "Customer Required"
	Else
		rs("CustomerID") = Request.Form("CustomerID")
		If Err.Number <> 0 Then
			mDictFieldErrors("CustomerID") = "Invalid Customer"
			Err.Clear
		End If
	End If

	rs("EmployeeID") = gfvEmptyToNull(Request.Form("EmployeeID"))
	If Err.Number <> 0 Then
		mDictFieldErrors("EmployeeID") = "Invalid Employee"
		Err.Clear
	End If

	If gfbEmpty(Request.Form("OrderDate")) Then
			mDictFieldErrors("OrderDate") = "Ordered Required"
	Else
		rs("OrderDate") = Request.Form("OrderDate")
		If Err.Number <> 0 Then
			mDictFieldErrors("OrderDate") = "Invalid Ordered"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("ShipVia")) Then
			mDictFieldErrors("ShipVia") = "Ship Via Required"
	Else
		rs("ShipVia") = Request.Form("ShipVia")
		If Err.Number <> 0 Then
			mDictFieldErrors("ShipVia") = "Invalid Ship Via"
			Err.Clear
		End If
	End If

	rs("Freight") = gfvEmptyToNull(Request.Form("Freight"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Freight") = "Invalid Freight"
		Err.Clear
	End If

	rs("Shipped") = gfbRequestValue("Shipped")
	If Err.Number <> 0 Then
		mDictFieldErrors("Shipped") = "Invalid Shipped"
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
			msPK = rs("OrderID")
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

	sSQL = "SELECT * FROM Orders WHERE OrderID = " & gfsSQLNumberFormat(msPK)

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

	If gfbEmpty(Request.Form("CustomerID")) Then
			mDictFieldErrors("CustomerID") = "Customer Required"
	Else
		rs("CustomerID") = Request.Form("CustomerID")
		If Err.Number <> 0 Then
			mDictFieldErrors("CustomerID") = "Invalid Customer"
			Err.Clear
		End If
	End If

	rs("EmployeeID") = gfvEmptyToNull(Request.Form("EmployeeID"))
	If Err.Number <> 0 Then
		mDictFieldErrors("EmployeeID") = "Invalid Employee"
		Err.Clear
	End If

	If gfbEmpty(Request.Form("OrderDate")) Then
			mDictFieldErrors("OrderDate") = "Ordered Required"
	Else
		rs("OrderDate") = Request.Form("OrderDate")
		If Err.Number <> 0 Then
			mDictFieldErrors("OrderDate") = "Invalid Ordered"
			Err.Clear
		End If
	End If

	If gfbEmpty(Request.Form("ShipVia")) Then
			mDictFieldErrors("ShipVia") = "Ship Via Required"
	Else
		rs("ShipVia") = Request.Form("ShipVia")
		If Err.Number <> 0 Then
			mDictFieldErrors("ShipVia") = "Invalid Ship Via"
			Err.Clear
		End If
	End If

	rs("Freight") = gfvEmptyToNull(Request.Form("Freight"))
	If Err.Number <> 0 Then
		mDictFieldErrors("Freight") = "Invalid Freight"
		Err.Clear
	End If

	rs("Shipped") = gfbRequestValue("Shipped")
	If Err.Number <> 0 Then
		mDictFieldErrors("Shipped") = "Invalid Shipped"
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
			msPK = rs("OrderID")
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

	 sSQL = " DELETE FROM Orders WHERE OrderID = " & gfsSQLNumberFormat(msPK)

	On Error Resume Next
	' A key that no record has (deleted meanwhile, or not a key at all) is
	' reported as such, not as a deleted record
	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open "SELECT OrderID FROM Orders WHERE OrderID = " & gfsSQLNumberFormat(msPK), mDbCon, 3, 1, &H1 ' adOpenStatic, adLockReadOnly, adCmdText
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


Sub GenerateLookupArrays()

	' Fill up the arrays holding the manual lookup lists
	maShipVia(0,0) = "1" : 	maShipVia(1,0) = "Speedy Express"
	maShipVia(0,1) = "2" : 	maShipVia(1,1) = "United ""Package"""
	maShipVia(0,2) = "3" : 	maShipVia(1,2) = "Federal Shipping"

	maShipCountry(0,0) = "DE" : 	maShipCountry(1,0) = "Germany"
	maShipCountry(0,1) = "FR" : 	maShipCountry(1,1) = "France"

End Sub 


%>
