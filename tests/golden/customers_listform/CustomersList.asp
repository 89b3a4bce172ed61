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
<!--#INCLUDE file="include/incTVKWDisplay.asp" -->
<%
' *** CONSTANTS ***************************************************************
Const mnPAGE_SIZE = 15
Const mnMAX_DIRECT_PAGES = 5
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"

' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim mnCurrPage
Dim mnMaxPage
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
Dim msPK

' *** SETUP *******************************************************************
' If we have been passed a primary key, get it
msPK = Request.Form("PK")
If Len(msPK) = 0 Then
	' Variables from the FORM request overide those in Query string
	msPK = Request.QueryString("PK")
End If

mnCurrPage = Request("CurrPage")
msSortField = gfsSortField(Request("SortField"), Array("Customers.CompanyName", "Countries.CountryName"))
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Driver={SQLite3};Database=/srv/data/crm.db"

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="styles/TVKW_Professional.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TD WIDTH=100%>&nbsp;</TD><TH NOWRAP>&nbsp;Customers&nbsp;</TH>
</TR></TABLE><BR>

<%

DisplayList 

Response.Write "<BR><TABLE BORDER=0 WIDTH=""100%""><TR><TD VALIGN=""middle"" ALIGN=""left"">"
DisplayPageNavButtons
Response.Write "</TD><TD VALIGN=""middle"" ALIGN=""right"">"
DisplayAddButton
Response.Write "</TD></TR><TR><TD COLSPAN=""2"">"
DisplayDirectPageNav
Response.Write "</TD></TR></TABLE>"

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
	Response.write "<TH>Edit</TH>"
	Response.write "<TH>ID</TH>"
	Response.write "<TH>" & fsSortingHeader("Customers.CompanyName","Company") & "</TH>"
	Response.write "<TH>" & fsSortingHeader("Countries.CountryName","Country") & "</TH>"
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
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""images/TVKW_Pro_SortAsc.gif"" BORDER=0 ALT=""Sorted in Ascending Order"">" ' Ascending order
		Else
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""images/TVKW_Pro_SortDesc.gif"" BORDER=0 ALT=""Sorted in Descending Order"">" ' Descending order
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
	Response.write "<TH><A HREF=""" & gfsHTMLEncode("CustomersForm.asp?DataAction=" & sEDIT_BUTTON & "&PK=" & gfsURLEncode(rs("CustomerID")) & "&CurrPage=" & mnCurrPage & msSortOrderURL) & """><IMG SRC=""images/TVKW_Pro_EditRecord.gif"" BORDER=0 ALT=""Edit Record""></A></TH>"
	Response.write "<TD>" & gfsFormatOutput(rs("CustomerID")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("CompanyName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("CountryName")) & "</TD>"
	Response.write "</TR>"

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
	<TABLE BORDER="0">	<FORM ACTION="CustomersForm.asp" METHOD="post"><TR><TD>
	<%= gfsTokenInput() %>
	<INPUT TYPE="Hidden" NAME="SortOrder" VALUE="<% = msSortOrder %>">
	<INPUT TYPE="Hidden" NAME="SortField" VALUE="<% = gfsHTMLEncode(msSortField) %>">
	<INPUT TYPE="Submit" CLASS="CommandButton" NAME="DataAction" VALUE="<%= sADD_BUTTON %>">
	</TD></TR></FORM></TABLE>
	<%
End Sub



' *** DATABASE ROUTINES *******************************************************

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

	sSQL = "SELECT Customers.CustomerID, Customers.CompanyName, Customers.ContactName, Customers.Country, Countries.CountryName, Customers.Phone, Customers.Active FROM Customers LEFT OUTER JOIN Countries ON Customers.Country = Countries.CountryCode "

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
	If Len(msPK) > 0 And NOT (rs.BOF OR rs.EOF) Then
		If gfsSQLTextFormat(msPK) <> "NULL" Then
			rs.Find ("CustomerID=" & gfsSQLTextFormat(msPK))
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


%>
