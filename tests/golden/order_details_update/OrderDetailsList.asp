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
<!--#INCLUDE file="../../include/incTVKWDisplay.asp" -->
<!--#INCLUDE file="../../include/incTVKWAction.asp" -->
<%
' *** CONSTANTS ***************************************************************
Const mnPAGE_SIZE = 25
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

mnCurrPage = Request("CurrPage")

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=""C:\data\nwind.mdb"""

' Check if any actions to be performed on database (update, delete etc)
' We need to do this before any HTML is output as this could change DataAction state
PerformDataActions

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="../../styles/TVKW_XP.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TH NOWRAP>&nbsp;OrderDetails&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<%

Response.write msUserMessage


DisplayList 

'Only display navigation buttons if not in middle of edit operation
If msDataAction = "" Then
	Response.Write "<BR><TABLE BORDER=0 WIDTH=""100%""><TR><TD VALIGN=""middle"" ALIGN=""left"">"
	Response.Write "</TD><TD VALIGN=""middle"" ALIGN=""right"">"
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

	Response.Write "<TABLE CLASS=""ListTable"" WIDTH=""100%"" BORDER=0 CELLSPACING=1 CELLPADDING=3>"
	DisplayListHeader
	Response.Write "<TBODY>"

	Do Until i = mnPAGE_SIZE Or rs.EOF

		If CStr(rs("DetailCode")) = msPK AND ( msDataAction = sEDIT_BUTTON OR msDataAction = sUPDATE_BUTTON ) Then
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
	Response.write "<TH>Product</TH>"
	Response.write "<TH>Supplier</TH>"
	Response.write "<TH>Qty ""ordered""</TH>"
	Response.write "<TH>Unit Price</TH>"
	Response.write "</TR></THEAD>"
End Sub


Sub DisplayListLine (rs, bEvenLine)

	' Display the current record as a row in the list table

	If bEvenLine Then
		Response.write "<TR CLASS=""EvenLine"">"
	Else
		Response.write "<TR CLASS=""OddLine"">"
	End If
	Response.write "<TH><A HREF=""" & gfsHTMLEncode("?DataAction=" & sEDIT_BUTTON & "&PK=" & gfsURLEncode(rs("DetailCode")) & "&CurrPage=" & mnCurrPage) & """><IMG SRC=""../../images/TVKW_XP_EditRecord.gif"" BORDER=0 ALT=""Edit Record""></A></TH>"
	Response.write "<TD>" & gfsFormatOutput(rs("Products_Name")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Suppliers_Name")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Quantity")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("Unit Price")) & "</TD>"
	Response.write "</TR>"

End Sub


Sub DisplayEditLine (rs)

	' Display the current record as an editable row in the list table

	%>
	<FORM METHOD="POST">
	<%= gfsTokenInput() %>
	<INPUT TYPE="HIDDEN" NAME="PK" VALUE="<%= gfsFieldValue(rs, "DetailCode") %>" >

	<TR CLASS="EditLine"><TD>&nbsp;</TD>
	<TD>
	<% gGenerateHTMLSelect "ProductID", gfsFieldValue(rs,"ProductID"), "Products","ProductID","Name",true %>
	<BR><%= gfsFieldError("ProductID") %>
	</TD>

	<TD>
	<% gGenerateHTMLRadioInputs "SupplierID", gfsFieldValue(rs,"SupplierID"), "Suppliers","SupplierID","Name" %>
	<BR><%= gfsFieldError("SupplierID") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="Quantity" VALUE="<%= gfsFieldValue(rs,"Quantity") %>" SIZE="6" MAXLENGTH="6" >
	<BR><%= gfsFieldError("Quantity") %>
	</TD>

	<TD>
	<INPUT TYPE="Text" NAME="Unit Price" VALUE="<%= gfsFieldValue(rs,"Unit Price") %>" SIZE="21" MAXLENGTH="21"  DISABLED CLASS="READONLY" >	<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
	<INPUT TYPE="HIDDEN" NAME="Unit Price" VALUE="<%= gfsFieldValue(rs,"Unit Price") %>" >
	<BR><%= gfsFieldError("Unit Price") %>
	</TD>

	</TR><TR CLASS="EditLine"><TD COLSPAN="5" ALIGN=RIGHT>
	<%
	' Now write out data action buttons State can be :
	' Normal - Show Add, Update, Delete (Cancel if ListForm)
	 'Add,Insert - Show Update, Cancel -->

	Select Case msDataAction
		Case Else
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sUPDATE_BUTTON & ">&nbsp;&nbsp;"
			Response.Write "<INPUT TYPE=""Submit"" CLASS=""CommandButton"" NAME=""DataAction"" VALUE=" & sCANCEL_BUTTON & ">&nbsp;&nbsp;"
	End Select

	Response.write "</TD></TR></FORM>" 

End Sub


Sub DisplayDirectPageNav

	Dim i
	Dim iMax

	iMax = mnMaxPage

	Response.write "<TABLE WIDTH=""100%"" CLASS=""PageNumbers"" BORDER=0 CELLSPACING=1 CELLPADDING=3><TR>"

	For i = 1 to iMax
		If i = mnCurrPage Then
			Response.Write "<TD CLASS=""CurrentPage"">" & i & "</TD>"
		Else
			Response.Write "<TD><A HREF='?CurrPage=" & i & "'>" & i & "</A></TD>"
		End If
	Next

	Response.write "</TR></TABLE>"

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

	sSQL = "SELECT DetailCode, [Order Details].ProductID, Products.Name AS Products_Name, [Order Details].SupplierID, Suppliers.Name AS Suppliers_Name, [Order Details].Quantity, [Order Details].[Unit Price] FROM (([Order Details] INNER JOIN Products ON [Order Details].ProductID = Products.ProductID ) LEFT OUTER JOIN Suppliers ON [Order Details].SupplierID = Suppliers.SupplierID ) "

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.PageSize = mnPAGE_SIZE
	rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText

	' If we have just added a new record or been transfered from the form page
	' then find out which page the record is on and display that page.
	If Len(msPK) > 0 And msDataAction = "" And NOT (rs.BOF OR rs.EOF) Then
		If gfsSQLTextFormat(msPK) <> "NULL" Then
			rs.Find ("DetailCode=" & gfsSQLTextFormat(msPK))
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

	sSQL = "SELECT * FROM [Order Details] WHERE DetailCode = " & gfsSQLTextFormat(msPK)

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

	If gfbEmpty(Request.Form("ProductID")) Then
			mDictFieldErrors("ProductID") = "Product Required"
	Else
		rs("ProductID") = Request.Form("ProductID")
		If Err.Number <> 0 Then
			mDictFieldErrors("ProductID") = "Invalid Product"
			Err.Clear
		End If
	End If

	rs("SupplierID") = gfvEmptyToNull(Request.Form("SupplierID"))
	If Err.Number <> 0 Then
		mDictFieldErrors("SupplierID") = "Invalid Supplier"
		Err.Clear
	End If

	If gfbEmpty(Request.Form("Quantity")) Then
			mDictFieldErrors("Quantity") = "Qty ""ordered"" Required"
	Else
		rs("Quantity") = Request.Form("Quantity")
		If Err.Number <> 0 Then
			mDictFieldErrors("Quantity") = "Invalid Qty ""ordered"""
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
			msPK = rs("DetailCode")
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


%>
