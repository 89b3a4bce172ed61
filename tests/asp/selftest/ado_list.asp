<%@ Language=VBScript %>
<%
Option Explicit
Dim mDbCon, rs, nPage, i, sSQL
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Driver={SQLite3};Database=shop.db"

nPage = Request("CurrPage")
On Error Resume Next
nPage = CLng(nPage)
If Err.Number > 0 Then
	nPage = 1
	Err.Clear
End If
On Error GoTo 0

sSQL = "SELECT ProductID, Products.ProductName, Products.CategoryID, Categories.CategoryName AS Category_Name FROM Products LEFT OUTER JOIN Categories ON Products.CategoryID = Categories.CategoryID "
If Request("SortField") <> "" Then
	sSQL = sSQL & " ORDER BY " & Request("SortField") & " " & Request("SortOrder")
End If
Set rs = Server.CreateObject("ADODB.Recordset")
rs.PageSize = 10
rs.Open sSQL, mDbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText
Response.Write "<P>Pages " & rs.PageCount & "</P>" & vbCrLf
If nPage > rs.PageCount Then nPage = rs.PageCount
If nPage < 1 Then nPage = 1
If NOT (rs.BOF OR rs.EOF) Then
	rs.AbsolutePage = nPage
End If
Response.Write "<P>Page " & rs.AbsolutePage & "</P>" & vbCrLf
i = 0
Do Until i = rs.PageSize Or rs.EOF
	Response.Write "<TR><TD>" & rs("ProductID") & "</TD><TD>" & rs("ProductName") & "</TD><TD>" & rs("Category_Name") & "</TD></TR>" & vbCrLf
	i = i + 1
	rs.MoveNext
Loop
rs.Close
Set rs = Nothing

' Find positions a static recordset on the matching record.
Set rs = Server.CreateObject("ADODB.Recordset")
rs.PageSize = 10
rs.Open "SELECT * FROM Products ORDER BY ProductID", mDbCon, 3, 1
If Len(Request("PK")) > 0 Then
	rs.Find ("ProductID=" & Request("PK"))
	Response.Write "<P>Found page " & rs.AbsolutePage & " EOF " & rs.EOF & "</P>" & vbCrLf
End If
rs.Close

' A forward-only recordset knows no page count.
Set rs = mDbCon.Execute("SELECT ProductName FROM Products WHERE ProductID = 2")
Response.Write "<P>Forward " & rs.PageCount & " " & rs("ProductName") & " " & rs(0) & "</P>" & vbCrLf
rs.Close

' GetRows gives the rest of a recordset as an array (field, record).
Dim aRows
rs.Open "SELECT CategoryID, CategoryName FROM Categories ORDER BY CategoryName", mDbCon, 0, 1, &H1
Response.Write "<P>Types " & rs(0).Type & " " & rs("CategoryName").Type & "</P>" & vbCrLf
aRows = rs.GetRows()
Response.Write "<P>Rows " & (UBound(aRows, 2) + 1) & ": " & aRows(1, 0) & " " & aRows(0, 0) & ", EOF " & rs.EOF & "</P>" & vbCrLf
rs.Close
mDbCon.Close
Set mDbCon = Nothing
%>
