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
<!--#INCLUDE file="incTVKWDisplay.asp" -->
<%
' *** CONSTANTS ***************************************************************

' *** GLOBAL VARS *************************************************************
Dim mDbCon

' *** SETUP *******************************************************************

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Driver={SQLite3};Database=/srv/data/shop.db"

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="styles/"> 
</HEAD>
<BODY>

<%

DisplayList 


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
	Response.write "<TH>Product</TH>"
	Response.write "<TH>Preis (€)</TH>"
	Response.write "<TH>Discontinued</TH>"
	Response.write "</TR></THEAD>"
End Sub


Sub DisplayListLine (rs, bEvenLine)

	' Display the current record as a row in the list table

	If bEvenLine Then
		Response.write "<TR CLASS=""EvenLine"">"
	Else
		Response.write "<TR CLASS=""OddLine"">"
	End If
	Response.write "<TD>" & gfsFormatOutput(rs("ProductName")) & "</TD>"
	Response.write "<TD>" & gfsFormatOutput(rs("UnitPrice")) & "</TD>"
	Response.write "<TD><INPUT TYPE=""CHECKBOX"" " & gfsFieldChecked(rs("Discontinued")) & " DISABLED></TD>"
	Response.write "</TR>"

End Sub



' *** DATABASE ROUTINES *******************************************************

Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging and sorting if necessary.

	Dim rs
	Dim sSQL

	sSQL = "SELECT ProductID, Products.ProductName, Products.UnitPrice, Products.Discontinued FROM Products "

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.Open sSQL, mdbCon


	Set frsGetRecordset = rs

End Function


%>
