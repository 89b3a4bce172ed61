<%@ Language=VBScript %>
<%
Option Explicit
Dim mDbCon, rs, sErrors, nNewID

Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Driver={SQLite3};Database=shop.db"

' Insert through a keyset recordset opened on the table by name.
Set rs = Server.CreateObject("ADODB.Recordset")
rs.Open "Products", mDbCon, 1, 3 ' adOpenKeyset, adLockOptimistic
rs.AddNew
On Error Resume Next
rs("ProductName") = Request("Name")
If Err.Number <> 0 Then
	sErrors = sErrors & "Invalid Name;"
	Err.Clear
End If
rs("UnitPrice") = Request("Price")
If Err.Number <> 0 Then
	sErrors = sErrors & "Invalid Price;"
	Err.Clear
End If
rs("Added") = Request("Added")
If Err.Number <> 0 Then
	sErrors = sErrors & "Invalid Added;"
	Err.Clear
End If
If sErrors = "" Then
	rs.Update
	If Err.Number <> 0 Then
		sErrors = "Update failed: " & Err.Description
		Err.Clear
		rs.CancelUpdate
	Else
		nNewID = rs("ProductID")
	End If
Else
	rs.CancelUpdate
End If
On Error GoTo 0
rs.Close
Set rs = Nothing
Response.Write "<P>Errors: " & sErrors & "</P>" & vbCrLf
Response.Write "<P>New: " & nNewID & "</P>" & vbCrLf

' Update one record found by its key.
If Len(Request("RenameID")) > 0 Then
	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.Open "SELECT * FROM Products WHERE ProductID = " & CLng(Request("RenameID")), mDbCon, 3, 3 ' adOpenStatic, adLockOptimistic
	rs.Update
	rs("ProductName") = "Renamed"
	rs.Update
	rs.Close
End If

' Delete through the connection.
If Len(Request("DeleteID")) > 0 Then
	mDbCon.Execute "DELETE FROM Products WHERE ProductID = " & CLng(Request("DeleteID"))
End If
mDbCon.Close
%>
