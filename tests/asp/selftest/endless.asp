<%@ Language=VBScript %>
<%
Option Explicit
Dim mDbCon, rs, n
Set mDbCon = Server.CreateObject("ADODB.Connection")
mDbCon.Open "Driver={SQLite3};Database=shop.db"
Set rs = mDbCon.Execute("SELECT ProductID FROM Products")
If Request("Kind") = "recordset" Then
	' The classic fault: a loop over a recordset that never moves.
	Do Until rs.EOF
		n = n + 1
	Loop
Else
	Do
		n = n + 1
	Loop
End If
%>
