<%@ Language=VBScript %>
<%
Option Explicit
Dim mDbCon, rs, v
Set mDbCon = Server.CreateObject("ADODB.Connection")
mDbCon.Open "Driver={SQLite3};Database=shop.db"
Set rs = mDbCon.Execute("SELECT ProductID, ProductName FROM Products")
Response.Write rs("ProductName")

' Under On Error Resume Next a failed read only sets Err.
On Error Resume Next
v = rs("NoSuchColumn")
Response.Write " handled=" & (Err.Number <> 0)
Err.Clear
On Error GoTo 0

If Request("Fail") = "read" Then
	v = rs("UnitPrice")
	v = v & "!"
ElseIf Request("Fail") = "last" Then
	Response.Write rs("UnitPrice")
End If
Response.Write " end"
%>
