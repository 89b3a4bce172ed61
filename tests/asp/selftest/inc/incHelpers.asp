<%
' Helpers shared by the self-test pages.
Function gfsShout(s)
	gfsShout = UCase(s) & "!"
End Function

Function gfnDivide(a, b)
	gfnDivide = a / b
End Function
%>
