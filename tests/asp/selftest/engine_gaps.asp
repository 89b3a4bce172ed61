<%@ Language=VBScript %>
<%
Option Explicit

Class TPair
	Public First, Second
	Private mA, mB
	Public Function Sum()
		mA = First
		mB = Second
		Sum = mA + mB
	End Function
End Class

Dim aList(), p, d
ReDim aList(2)
aList(0) = "a" : aList(1) = "b" : aList(2) = "c"
ReDim Preserve aList(3)
aList(3) = "d"
Set p = New TPair
p.First = 2
p.Second = 3
Set d = CreateObject("Scripting.Dictionary")
d("k") = "v"

Response.Write "list=" & aList(0) & aList(3) & UBound(aList) & vbCrLf
Response.Write "isdate=" & IsDate("2024-01-31") & IsDate("1/31/2024") & IsDate("abc") & vbCrLf
Response.Write "trimnull=" & IsNull(Trim(Null)) & "[" & Trim("  x  ") & "]" & vbCrLf
Response.Write "mid=" & Mid("abcdef", 2, 3) & Mid("abcdef", 5) & IsNull(Mid(Null, 1)) & vbCrLf
Response.Write "pair=" & p.Sum() & vbCrLf
Response.Write "dict=" & d("k") & d.Count & vbCrLf
%>
