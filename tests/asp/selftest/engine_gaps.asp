<%@ Language=VBScript %>
<%
Option Explicit

Dim d
Set d = CreateObject("Scripting.Dictionary")
d("k") = "v"

Response.Write "isdate=" & IsDate("2024-01-31") & IsDate("1/31/2024") & IsDate("abc") & vbCrLf
Response.Write "trimnull=" & IsNull(Trim(Null)) & "[" & Trim("  x  ") & "]" & vbCrLf
Response.Write "mid=" & Mid("abcdef", 2, 3) & Mid("abcdef", 5) & IsNull(Mid(Null, 1)) & vbCrLf
Response.Write "dict=" & d("k") & d.Count & vbCrLf
%>
