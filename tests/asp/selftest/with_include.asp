<%@ Language=VBScript %>
<%
Option Explicit
%>
<!-- #INCLUDE FILE="inc/incHelpers.asp" -->
<%
Response.Write gfsShout("hello") & vbCrLf
Response.Write gfnDivide(6, Request("By")) & vbCrLf
%>
