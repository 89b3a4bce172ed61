<%@ Language=VBScript %>
<%
Option Explicit
Response.Expires = 0
Dim sName, sAction
sName = Request("Name")
sAction = Request.Form("Action")
If Len(sAction) = 0 Then
	sAction = Request.QueryString("Action")
End If

Select Case sAction
	Case "go"
		Response.Redirect "target.asp?Name=" & Server.URLEncode(sName)
		Response.End
	Case "count"
		Application("Hits") = Application("Hits") + 1
		Application("Last") = sName
End Select
%>
<HTML><BODY>
<P>Name: <%= Server.URLEncode(sName) %></P>
<P>Action: <%= sAction %></P>
<P>Hits: <%= Application("Hits") %>, last: <%= Application("Last") %></P>
<P>Missing: [<%= Request("Missing") %>] <%= Request.Form("Missing").Count %> <%= IsEmpty(Request("Missing")) %></P>
<P>Tags: <%= Request.QueryString("Tag") %> (<%= Request.QueryString("Tag").Count %>)</P>
</BODY></HTML>
