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
<%
' *** CONSTANTS ***************************************************************
' These constants are used to label the buttons
Const sEDIT_BUTTON = "Edit"
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add"

' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim msSortField
Dim msSortOrder
Dim msSortOrderURL
Dim msPK
' Define arrays used for lookup tables
Dim maRegion(1,1)


' *** SETUP *******************************************************************
' Setup any arrays needed for the lookup tables
GenerateLookupArrays

' If we have been passed a primary key, get it
msPK = Request.Form("PK")
If Len(msPK) = 0 Then
	' Variables from the FORM request overide those in Query string
	msPK = Request.QueryString("PK")
End If

msSortField = gfsSortField(Request("SortField"), Array())
msSortOrder = gfsSortOrder(msSortField, Request("SortOrder"))
If msSortField = "" Then
	msSortOrderURL = ""
Else
	msSortOrderURL = "&SortField=" & server.urlEncode(msSortField) & "&SortOrder=" & server.urlEncode(msSortOrder)
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "DSN=Purchasing"

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

<%

DisplayList 

Response.Write "<BR><TABLE BORDER=0 WIDTH=""100%""><TR><TD VALIGN=""middle"" ALIGN=""left"">"
Response.Write "</TD><TD VALIGN=""middle"" ALIGN=""right"">"
Response.Write "</TD></TR><TR><TD COLSPAN=""2"">"
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

	Response.Write "<TABLE CLASS=""ListTable"" WIDTH=""100%"" BORDER=0 CELLSPACING=1 CELLPADDING=3>"
	DisplayListHeader
	Response.Write "<TBODY>"

	Do Until rs.EOF
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
	Response.write "<TH>Company</TH>"
	Response.write "<TH>Region</TH>"
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
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""images/TVKW_XP_SortAsc.gif"" BORDER=0 ALT=""Sorted in Ascending Order"">" ' Ascending order
		Else
			fsSortingHeader = fsSortingHeader & "&nbsp;<IMG SRC=""images/TVKW_XP_SortDesc.gif"" BORDER=0 ALT=""Sorted in Descending Order"">" ' Descending order
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
	Response.write "<TH><A HREF=""" & gfsHTMLEncode("SuppliersForm.asp?DataAction=" & sEDIT_BUTTON & "&PK=" & gfsURLEncode(rs("SupplierID")) & msSortOrderURL) & """><IMG SRC=""images/TVKW_XP_EditRecord.gif"" BORDER=0 ALT=""Edit Record""></A></TH>"
	Response.write "<TD>" & gfsFormatOutput(rs("CompanyName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(gfsArrayValue(maRegion,rs("Region"))) & "</TD>"
	Response.write "</TR>"

End Sub


Sub DisplayAddButton

	%>
	<TABLE BORDER="0">	<FORM ACTION="SuppliersForm.asp" METHOD="post"><TR><TD>
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

	sSQL = "SELECT Suppliers.SupplierID, Suppliers.CompanyName, Suppliers.City, Suppliers.Region FROM Suppliers "

	' Apply Sorting
	If msSortOrder <> "" Then
		sSQL = sSQL & " ORDER BY " & msSortField & " " & msSortOrder
	End If

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open sSQL, mdbCon


	Set frsGetRecordset = rs

End Function


Sub GenerateLookupArrays()

	' Fill up the arrays holding the manual lookup lists
	maRegion(0,0) = "N" : 	maRegion(1,0) = "North"
	maRegion(0,1) = "S" : 	maRegion(1,1) = "South"

End Sub 


%>
