<%@ Language=VBScript %>
<%
Option Explicit
Dim x
x = 1

Sub ShowIt
	If x = 1 Then
		Response.Write "one"
	Else
		Response.Write "other"

End Sub

ShowIt
%>
