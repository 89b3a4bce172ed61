<%@ Language=VBScript %>
<%
Option Explicit
Response.expires = 0
Response.CodePage = 1252
Response.Charset = "windows-1252"
' Test header: every generated page of the golden tests starts with it.
' Its lines end with LF alone; the pages end them with CR LF.


' *** INCLUDE FILES ***********************************************************
%>
<!--#INCLUDE file="inc/incTVKWDisplay.asp" -->
<%
' *** CONSTANTS *************************************************************
' These constants are used to label the buttons
' NOTE - these are needed even if no record editing as used in include files
Const sINSERT_BUTTON = "Insert"
Const sADD_BUTTON = "Add" ' Note - if you change the label of the Add button, be sure to change any related List pages
Const sUPDATE_BUTTON = "Update"


' *** GLOBAL VARS *************************************************************
Dim mDbCon
Dim mnCurrRecord
Dim mnMaxRecords
Dim msDataAction
Dim msPK


' *** SETUP *******************************************************************
' Read in variables from query string etc

' Read pageing records
mnCurrRecord = Request.Form("CurrRecord")
If Len(mnCurrRecord) = 0 Then
	' Variables from the FORM request overide those in Query string
	mnCurrRecord = Request.QueryString("CurrRecord")
End If

' Open a connection to the database
Set mDbCon = Server.CreateObject ("ADODB.Connection")
mDbCon.open "Driver={SQLite3};Database=/srv/data/meter.db"

%>
<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Tavekor Wizard">
<LINK REL="STYLESHEET" HREF="TVKW_Classic.css"> 
</HEAD>
<BODY>

<TABLE CLASS="TITLE" BORDER="0" WIDTH="100%" CELLPADDING="5" CELLSPACING="0"><TR>
<TH NOWRAP>&nbsp;Readings&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>
</TR></TABLE><BR>

<CENTER>
<FORM METHOD="POST">
<%= gfsTokenInput() %>
<%

Response.write "<TABLE BORDER=0><TR><TD ALIGN=""CENTER"" COLSPAN=2>"

DisplayForm

Response.Write "</TD></TR><TR><TD ALIGN=""RIGHT"">"

Response.Write "</TR></TR><TR><TD>&nbsp;</TD></TR><TR><TD ALIGN=CENTER>"
DisplayRecordNavButtons

Response.Write "</TD></TR></TABLE>"

%>
</FORM>
</BODY>
</HTML>
<%

' *** TERMINATE ***************************************************************
' Close database connection
mDbCon.Close
set mDbCon = Nothing 


' *** ROUTINES ****************************************************************

Sub DisplayForm()

	Dim rs

	Set rs = frsGetRecordset
	If rs.BOF OR rs.EOF Then
		Response.Write "<SPAN CLASS=""UserMessage"">Empty Table</SPAN><BR><BR>"
		rs.Close
		set rs = nothing
		Exit Sub
	Else
	End If
	%>
	<INPUT TYPE="HIDDEN" NAME="CurrRecord" VALUE="<%= gfsHTMLEncode(mnCurrRecord) %>">
	<TABLE CLASS="FormTable" BORDER=1 CELLSPACING=0 CELLPADDING=3><TBODY>
	<TR>
		<TH>Meter</TH>
		<TD><INPUT TYPE="Text" NAME="Meter" VALUE="<%= gfsFieldValue(rs,"Meter") %>" SIZE="12" MAXLENGTH="12" >
		</TD>
	</TR>
	
	<TR>
		<TH>Taken at</TH>
		<TD><INPUT TYPE="Text" NAME="TakenAt" VALUE="<%= gfsFieldValue(rs,"TakenAt") %>">
		</TD>
	</TR>
	
	<TR>
		<TH>Value</TH>
		<TD><INPUT TYPE="Text" NAME="Value" VALUE="<%= gfsFieldValue(rs,"Value") %>" SIZE="24" MAXLENGTH="24" >
		</TD>
	</TR>
	
	<TR>
		<TH>Comment</TH>
		<TD><TEXTAREA NAME="Comment" ROWS="5" COLS="50" DISABLED CLASS="READONLY" ><%= gfsFieldValue(rs,"Comment") %></TEXTAREA>
		<!-- If DISABLED then result will not be posted back - important for failed updates where we want to show the last value entered -->
		<INPUT TYPE="HIDDEN" NAME="Comment" VALUE="<%= gfsFieldValue(rs,"Comment") %>" >
		</TD>
	</TR>
	
	</TBODY></TABLE>
	<%

	rs.Close
	set rs = nothing

End Sub


Sub DisplayRecordNavButtons()

	Response.write "<TABLE CLASS=""RecordNavigation"" BORDER=1 CELLSPACING=0 CELLPADDING=3><TR>"
	If mnCurrRecord = 1 Then
		Response.Write "<TD>&nbsp;<<&nbsp;</TD>"
	Else
		Response.Write "<TD><A HREF=""?CurrRecord=1" & """>&nbsp;<<&nbsp;</A></TD>"
	End If

	Response.Write "<TD CLASS=""RecordNumber"">Record " & mnCurrRecord & " of " & mnMaxRecords & "</TD>"

	If mnCurrRecord < mnMaxRecords Then
		Response.Write "<TD><A HREF=""?CurrRecord=" & mnMaxRecords & """>&nbsp;>>&nbsp;</A></TD>"
	Else
		Response.Write "<TD>&nbsp;>>&nbsp;</TD>"
	End If

	Response.Write "</TR></TABLE>"
End Sub




' *** DATABASE ROUTINES *******************************************************


Function frsGetRecordset

	' Returns an ADO recordset with the records to display.
	' Handles paging if necessary.

	Dim rs
	Dim sSQL

	On Error Resume Next
	mnCurrRecord = CLng(mnCurrRecord)
	If Err.Number > 0 Then
		mnCurrRecord = 1
		Err.Clear
	End If
	On Error GoTo 0

	sSQL = "SELECT Readings.Meter, Readings.TakenAt, Readings.Value, Readings.Comment FROM Readings "

	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.CursorLocation = 3 ' adUseClient
	rs.PageSize = 1
	rs.Open sSQL, mdbCon, 3, 1, &H1 'adOpenStatic, adLockReadOnly, adCmdText

	mnMaxRecords = rs.PageCount
	If mnCurrRecord > mnMaxRecords Then
		mnCurrRecord = mnMaxRecords
	End If
	If mnCurrRecord < 1 Then
		mnCurrRecord = 1
	End If
	If NOT (rs.BOF OR rs.EOF) Then
		rs.AbsolutePage = mnCurrRecord
	End If

	Set frsGetRecordset = rs

End Function


%>
