<%
'*******************************************************************************
' incTVKWDisplay.asp - display routines of the pages written by TVK Wizard
'
' Included by every list and form page. Holds the output routines (values made
' fit for HTML, lookup texts, check boxes, select lists and radio buttons) and
' the formatters that keep request values out of SQL and HTML unchecked:
'
'   gfsHTMLEncode(vValue)                 text for HTML content and attributes
'   gfsSQLNumberFormat(vValue)            number literal, or NULL
'   gfsSQLTextFormat(vValue)              quoted text literal, or NULL
'   gfsSQLDateFormat(vValue)              quoted ISO date literal, or NULL
'   gfsSortField(vRequested, aAllowed)    one of the page's own sort columns
'   gfsSortOrder(sSortField, vRequested)  "ASC", "DESC" or ""
'   gfsURLEncode(vValue)                  text for a URL's query string
'   gfsTokenInput()                       the hidden input of the session's token
'   gfbVerifiedChange()                   a change posted by a form of this session
'
' NULL never compares equal to anything in SQL, so a WHERE clause that is
' handed a value of the wrong kind matches no record instead of failing or
' running text the request supplied.
'
' Names the page declares and this file uses: mDbCon (the open connection),
' msDataAction and the button labels sADD_BUTTON, sINSERT_BUTTON and
' sUPDATE_BUTTON (gfsFieldValue only).
'
' Lookup arrays have two rows: row 0 holds the stored values, row 1 the texts
' shown; the column is the position in the list, from 0.
'*******************************************************************************

' *** VALUES ********************************************************************

Function gfvPlainValue(vValue)
	' The value itself: an ADO field gives its Value, a Request item its text
	' (both are their objects' default properties); Nothing gives Null.
	If IsObject(vValue) Then
		If vValue Is Nothing Then
			gfvPlainValue = Null
		Else
			gfvPlainValue = vValue
		End If
	Else
		gfvPlainValue = vValue
	End If
End Function

Function gfsPlainText(vValue)
	' The value as text: Null and Empty give "", a Boolean "True" or "False"
	' (in every server language), binary data "".
	Dim v
	v = gfvPlainValue(vValue)
	If IsNull(v) Or IsEmpty(v) Then
		gfsPlainText = ""
	ElseIf IsArray(v) Then
		gfsPlainText = ""
	ElseIf VarType(v) = vbBoolean Then
		If v Then
			gfsPlainText = "True"
		Else
			gfsPlainText = "False"
		End If
	Else
		gfsPlainText = CStr(v)
	End If
End Function

Function gfbBooleanValue(vValue)
	' True for True, a non-zero number, and the texts "true", "on" and "yes"
	' (any case); False for everything else, Null and "" included.
	Dim v, s
	v = gfvPlainValue(vValue)
	gfbBooleanValue = False
	If IsNull(v) Or IsEmpty(v) Or IsArray(v) Then Exit Function
	If VarType(v) = vbBoolean Then
		gfbBooleanValue = v
		Exit Function
	End If
	s = LCase(Trim(CStr(v)))
	If gfbWholeNumberText(s) Then
		gfbBooleanValue = (CDbl(s) <> 0)
	ElseIf VarType(v) <> vbString And IsNumeric(v) Then
		gfbBooleanValue = (v <> 0)
	Else
		gfbBooleanValue = (s = "true" Or s = "on" Or s = "yes")
	End If
End Function

Function gfbWholeNumberText(sText)
	' True when the text is an optional sign followed by 1 to 15 digits, so
	' that CDbl reads it exactly whatever the server's locale.
	Dim i, nStart, sChar
	gfbWholeNumberText = False
	nStart = 1
	If Len(sText) > 0 Then
		sChar = Left(sText, 1)
		If sChar = "+" Or sChar = "-" Then nStart = 2
	End If
	If Len(sText) < nStart Or Len(sText) - nStart + 1 > 15 Then Exit Function
	For i = nStart To Len(sText)
		sChar = Mid(sText, i, 1)
		If sChar < "0" Or sChar > "9" Then Exit Function
	Next
	gfbWholeNumberText = True
End Function

Function gfbSameValue(vA, vB)
	' Two values match when their texts are equal, or when both are whole
	' numbers of the same value ("07" and 7).
	Dim sA, sB
	sA = gfsPlainText(vA)
	sB = gfsPlainText(vB)
	If sA = sB Then
		gfbSameValue = True
	ElseIf gfbWholeNumberText(Trim(sA)) And gfbWholeNumberText(Trim(sB)) Then
		gfbSameValue = (CDbl(Trim(sA)) = CDbl(Trim(sB)))
	Else
		gfbSameValue = False
	End If
End Function

' *** HTML OUTPUT ***************************************************************

Function gfsHTMLEncode(vValue)
	' Text made safe for HTML content and for attribute values in either kind
	' of quotes. Every value that came from the request or the database goes
	' through here before it is written.
	Dim s
	s = gfsPlainText(vValue)
	s = Replace(s, "&", "&amp;")
	s = Replace(s, "<", "&lt;")
	s = Replace(s, ">", "&gt;")
	s = Replace(s, """", "&quot;")
	s = Replace(s, "'", "&#39;")
	gfsHTMLEncode = s
End Function

Function gfsURLEncode(vValue)
	' A value for a URL's query string (Null gives the empty text); the whole
	' URL still goes through gfsHTMLEncode when it lands in an attribute.
	gfsURLEncode = Server.URLEncode(gfsPlainText(vValue))
End Function

Function gfsFormatOutput(vValue)
	' A value for a table cell: HTML-encoded, and a non-breaking space when
	' the value is empty or Null, so that the cell keeps its borders.
	Dim s
	s = gfsPlainText(vValue)
	If Len(s) = 0 Then
		gfsFormatOutput = "&nbsp;"
	Else
		gfsFormatOutput = gfsHTMLEncode(s)
	End If
End Function

Function gfsFieldChecked(vValue)
	' The attribute that ticks a check box when the value counts as true.
	If gfbBooleanValue(vValue) Then
		gfsFieldChecked = "CHECKED"
	Else
		gfsFieldChecked = ""
	End If
End Function

Function gfsFieldValue(rs, sFieldName)
	' The HTML-encoded value of a field for an input control.
	' - While a record is being added: "" (a new record starts empty).
	' - After an insert or update that failed: the value the user posted, so
	'   that the form shows what was typed next to the error. A field that was
	'   not posted is empty after a failed insert; after a failed update it
	'   keeps its stored value, except a Boolean column, whose unticked check
	'   box is simply not posted.
	' - Otherwise the current record's value, or "" when the recordset is not
	'   open (never set while adding) or has no current record.
	Dim bPosted, bStored
	bStored = True
	Select Case msDataAction
		Case sADD_BUTTON
			gfsFieldValue = ""
			Exit Function
		Case sINSERT_BUTTON, sUPDATE_BUTTON
			bPosted = (Request.Form(sFieldName).Count > 0)
			If bPosted Then
				gfsFieldValue = gfsHTMLEncode(Request.Form(sFieldName))
				Exit Function
			End If
			If msDataAction = sINSERT_BUTTON Then
				gfsFieldValue = ""
				Exit Function
			End If
			bStored = False
	End Select

	gfsFieldValue = ""
	If Not gfbCurrentRecord(rs) Then Exit Function
	If Not bStored Then
		' A failed update whose form did not post this field.
		If rs(sFieldName).Type = 11 Then Exit Function ' adBoolean: unticked
	End If
	gfsFieldValue = gfsHTMLEncode(rs(sFieldName))
End Function

Function gfbCurrentRecord(rs)
	' True when rs is an open recordset positioned on a record.
	gfbCurrentRecord = False
	If Not IsObject(rs) Then Exit Function
	If rs Is Nothing Then Exit Function
	If rs.State = 0 Then Exit Function ' adStateClosed
	If rs.BOF Or rs.EOF Then Exit Function
	gfbCurrentRecord = True
End Function

' *** LOOKUP LISTS **************************************************************

Function gfnLookupLast(aLookup)
	' Index of the last column of a lookup array; -1 when it has none.
	Dim n
	n = -1
	If IsArray(aLookup) Then
		On Error Resume Next
		n = UBound(aLookup, 2)
		If Err.Number <> 0 Then n = -1
		On Error GoTo 0
	End If
	gfnLookupLast = n
End Function

Function gfsArrayValue(aLookup, vValue)
	' The text shown for a stored value in a lookup array, "" when the value
	' is not in the list (as an unmatched database lookup shows nothing).
	' The value may come HTML-encoded from gfsFieldValue: a list value is
	' matched encoded as well as plain, as the lookup controls match it.
	' The texts are the developer's own and are returned as they stand;
	' gfsFormatOutput encodes them for a table cell.
	Dim i
	gfsArrayValue = ""
	If IsNull(gfvPlainValue(vValue)) Then Exit Function
	For i = 0 To gfnLookupLast(aLookup)
		If gfbLookupMatch(aLookup(0, i), vValue) Then
			gfsArrayValue = gfsPlainText(aLookup(1, i))
			Exit Function
		End If
	Next
End Function

Function gfsEncaseSQLObject(sName)
	' A table or column name ready for SQL: bracketed when it holds a blank,
	' the same rule the wizard uses for the names it writes into the pages.
	' A name the page already quotes for its database stays as it is.
	Dim sFirst
	sFirst = Left(sName, 1)
	If sFirst = "[" Or sFirst = """" Or sFirst = "`" Then
		gfsEncaseSQLObject = sName
	ElseIf InStr(sName, " ") > 0 Then
		gfsEncaseSQLObject = "[" & sName & "]"
	Else
		gfsEncaseSQLObject = sName
	End If
End Function

Function gfvLookupRows(sTable, sJoinField, sShowField)
	' The rows of a lookup table as a lookup array (row 0 the join values,
	' row 1 the shown texts), ordered by the shown text; Empty when the table
	' has no rows. The names come from the page itself, never from a request.
	Dim rs, sSQL
	sSQL = "SELECT " & gfsEncaseSQLObject(sJoinField) & ", " & gfsEncaseSQLObject(sShowField) & _
		" FROM " & gfsEncaseSQLObject(sTable) & " ORDER BY " & gfsEncaseSQLObject(sShowField)
	Set rs = Server.CreateObject("ADODB.Recordset")
	rs.Open sSQL, mDbCon, 0, 1, &H1 ' adOpenForwardOnly, adLockReadOnly, adCmdText
	If rs.EOF Then
		gfvLookupRows = Empty
	Else
		gfvLookupRows = rs.GetRows()
	End If
	rs.Close
	Set rs = Nothing
End Function

Function gfbLookupMatch(vStored, sCurrentValue)
	' The current value comes HTML-encoded from gfsFieldValue; a caller may
	' also pass it plain.
	Dim bMatch
	bMatch = gfbSameValue(gfsHTMLEncode(vStored), sCurrentValue)
	If Not bMatch Then bMatch = gfbSameValue(vStored, sCurrentValue)
	gfbLookupMatch = bMatch
End Function

Sub gGenerateHTMLSelect(sName, sCurrentValue, sTable, sJoinField, sShowField, bRequired)
	' A drop-down list named sName over the rows of a lookup table.
	gGenerateHTMLSelectFromArray sName, sCurrentValue, gfvLookupRows(sTable, sJoinField, sShowField), bRequired
End Sub

Sub gGenerateHTMLRadioInputs(sName, sCurrentValue, sTable, sJoinField, sShowField)
	' One radio button per row of a lookup table, all named sName.
	gGenerateHTMLRadioInputsFromArray sName, sCurrentValue, gfvLookupRows(sTable, sJoinField, sShowField)
End Sub

Sub gGenerateHTMLSelectFromArray(sName, sCurrentValue, aLookup, bRequired)
	' A drop-down list named sName over a lookup array, with the entry of
	' sCurrentValue selected. An optional field starts with an empty entry
	' (stored as Null); so does a required one that has no value yet, so the
	' page never picks a value the user did not choose: posting it empty
	' reports the field as required.
	Dim i, nLast, bSelected, sCurrent
	sCurrent = gfsPlainText(sCurrentValue)
	nLast = gfnLookupLast(aLookup)
	Response.Write "<SELECT NAME=""" & gfsHTMLEncode(sName) & """>"
	If Not gfbBooleanValue(bRequired) Or Len(sCurrent) = 0 Then
		Response.Write "<OPTION VALUE=""""></OPTION>"
	End If
	bSelected = False
	For i = 0 To nLast
		Response.Write "<OPTION VALUE=""" & gfsHTMLEncode(aLookup(0, i)) & """"
		If Not bSelected And Len(sCurrent) > 0 Then
			If gfbLookupMatch(aLookup(0, i), sCurrent) Then
				Response.Write " SELECTED"
				bSelected = True
			End If
		End If
		Response.Write ">" & gfsHTMLEncode(aLookup(1, i)) & "</OPTION>"
	Next
	Response.Write "</SELECT>"
End Sub

Sub gGenerateHTMLRadioInputsFromArray(sName, sCurrentValue, aLookup)
	' One radio button per entry of a lookup array, all named sName, the
	' entry of sCurrentValue checked; one per line.
	Dim i, nLast, bChecked, sCurrent
	sCurrent = gfsPlainText(sCurrentValue)
	nLast = gfnLookupLast(aLookup)
	bChecked = False
	Response.Write "<SPAN CLASS=""RadioList"">"
	For i = 0 To nLast
		If i > 0 Then Response.Write "<BR>"
		Response.Write "<LABEL><INPUT TYPE=""Radio"" NAME=""" & gfsHTMLEncode(sName) & _
			""" VALUE=""" & gfsHTMLEncode(aLookup(0, i)) & """"
		If Not bChecked And Len(sCurrent) > 0 Then
			If gfbLookupMatch(aLookup(0, i), sCurrent) Then
				Response.Write " CHECKED"
				bChecked = True
			End If
		End If
		Response.Write ">&nbsp;" & gfsHTMLEncode(aLookup(1, i)) & "</LABEL>"
	Next
	Response.Write "</SPAN>"
End Sub

' *** SQL VALUES ****************************************************************

Function gfbSQLNumber(vValue)
	' True when the value is a plain decimal number: an optional sign, digits,
	' and optionally a point followed by digits, 15 digits at most. Nothing else (no blanks
	' inside, no exponent, no hexadecimal, no thousands separator) can reach
	' SQL through gfsSQLNumberFormat.
	Dim s, i, sChar, bDigits, bPoint, nDigits
	gfbSQLNumber = False
	s = Trim(gfsPlainText(vValue))
	If Len(s) = 0 Then Exit Function
	i = 1
	If Left(s, 1) = "+" Or Left(s, 1) = "-" Then i = 2
	bDigits = False
	bPoint = False
	Do While i <= Len(s)
		sChar = Mid(s, i, 1)
		If sChar >= "0" And sChar <= "9" Then
			bDigits = True
			nDigits = nDigits + 1
			' More digits than a Double holds exactly: no such key, and
			' some servers refuse the literal outright.
			If nDigits > 15 Then Exit Function
		ElseIf sChar = "." And Not bPoint And bDigits Then
			bPoint = True
			bDigits = False ' a digit must follow the point
		Else
			Exit Function
		End If
		i = i + 1
	Loop
	gfbSQLNumber = bDigits
End Function

Function gfsSQLNumberFormat(vValue)
	' A numeric key or value for SQL text: the number as posted when it is a
	' plain decimal number (gfbSQLNumber), else NULL, which matches no record.
	' Whole numbers held as numbers are written as they are; a posted key is
	' text and is checked character by character.
	Dim v
	v = gfvPlainValue(vValue)
	Select Case VarType(v)
		Case vbInteger, vbLong, vbByte
			gfsSQLNumberFormat = CStr(v)
		Case Else
			If gfbSQLNumber(v) Then
				gfsSQLNumberFormat = Trim(gfsPlainText(v))
			Else
				gfsSQLNumberFormat = "NULL"
			End If
	End Select
End Function

Function gfsSQLTextFormat(vValue)
	' A quoted SQL text literal with every single quote doubled; NULL for Null.
	' MySQL and MariaDB (unless run with NO_BACKSLASH_ESCAPES) also treat a
	' backslash as an escape, so "\'" or a closing "\" would end or extend the
	' literal there. No literal means the same text on every server, so a
	' text with a backslash before a quote or at its end gives NULL instead.
	Dim v, s
	v = gfvPlainValue(vValue)
	If IsNull(v) Then
		gfsSQLTextFormat = "NULL"
		Exit Function
	End If
	s = gfsPlainText(v)
	If InStr(s, "\'") > 0 Or Right(s, 1) = "\" Then
		gfsSQLTextFormat = "NULL"
	Else
		gfsSQLTextFormat = "'" & Replace(s, "'", "''") & "'"
	End If
End Function

Function gfvISODate(sText)
	' Reads "yyyy-mm-dd", optionally followed by " hh:nn" or " hh:nn:ss" (a
	' "T" may stand for the blank), whatever the server's locale; Null when
	' the text has another form or names no real date.
	Dim nYear, nMonth, nDay, nHour, nMinute, nSecond, sTime, d
	gfvISODate = Null
	If Len(sText) < 10 Then Exit Function
	If Mid(sText, 5, 1) <> "-" Or Mid(sText, 8, 1) <> "-" Then Exit Function
	If Not gfbDigits(Mid(sText, 1, 4)) Or Not gfbDigits(Mid(sText, 6, 2)) Or Not gfbDigits(Mid(sText, 9, 2)) Then Exit Function
	nYear = CInt(Mid(sText, 1, 4))
	nMonth = CInt(Mid(sText, 6, 2))
	nDay = CInt(Mid(sText, 9, 2))
	nHour = 0
	nMinute = 0
	nSecond = 0
	If Len(sText) > 10 Then
		If Mid(sText, 11, 1) <> " " And Mid(sText, 11, 1) <> "T" Then Exit Function
		sTime = Mid(sText, 12)
		If Len(sTime) <> 5 And Len(sTime) <> 8 Then Exit Function
		If Mid(sTime, 3, 1) <> ":" Then Exit Function
		If Not gfbDigits(Mid(sTime, 1, 2)) Or Not gfbDigits(Mid(sTime, 4, 2)) Then Exit Function
		nHour = CInt(Mid(sTime, 1, 2))
		nMinute = CInt(Mid(sTime, 4, 2))
		If Len(sTime) = 8 Then
			If Mid(sTime, 6, 1) <> ":" Or Not gfbDigits(Mid(sTime, 7, 2)) Then Exit Function
			nSecond = CInt(Mid(sTime, 7, 2))
		End If
		If nHour > 23 Or nMinute > 59 Or nSecond > 59 Then Exit Function
	End If
	If nMonth < 1 Or nMonth > 12 Or nDay < 1 Or nDay > 31 Or nYear < 100 Then Exit Function
	d = DateSerial(nYear, nMonth, nDay)
	' DateSerial rolls 31 April over into May: such a date does not exist.
	If Month(d) <> nMonth Or Day(d) <> nDay Then Exit Function
	gfvISODate = d + TimeSerial(nHour, nMinute, nSecond)
End Function

Function gfbDigits(sText)
	' True when the text is one or more digits and nothing else.
	Dim i, sChar
	gfbDigits = False
	If Len(sText) = 0 Then Exit Function
	For i = 1 To Len(sText)
		sChar = Mid(sText, i, 1)
		If sChar < "0" Or sChar > "9" Then Exit Function
	Next
	gfbDigits = True
End Function

Function gfsTwoDigits(nValue)
	gfsTwoDigits = Right("0" & CStr(nValue), 2)
End Function

Function gfsSQLDateFormat(vValue)
	' A date for SQL text, quoted as 'yyyy-mm-dd' or 'yyyy-mm-dd hh:nn:ss'
	' (the time only when it is not midnight), a form that SQL Server,
	' PostgreSQL, MySQL and SQLite all read as the same date. Accepts a date
	' value, a text in that ISO form, or a text the server's locale reads as
	' a date; anything else gives NULL, which matches no record.
	Dim v, s, d
	v = gfvPlainValue(vValue)
	d = Null
	If VarType(v) = vbDate Then
		d = v
	ElseIf VarType(v) = vbString Then
		s = Trim(v)
		d = gfvISODate(s)
		If IsNull(d) And Len(s) > 0 Then
			If IsDate(s) Then d = CDate(s)
		End If
	End If
	If IsNull(d) Then
		gfsSQLDateFormat = "NULL"
		Exit Function
	End If
	s = CStr(Year(d)) & "-" & gfsTwoDigits(Month(d)) & "-" & gfsTwoDigits(Day(d))
	If Hour(d) <> 0 Or Minute(d) <> 0 Or Second(d) <> 0 Then
		s = s & " " & gfsTwoDigits(Hour(d)) & ":" & gfsTwoDigits(Minute(d)) & ":" & gfsTwoDigits(Second(d))
	End If
	gfsSQLDateFormat = "'" & s & "'"
End Function

' *** SORTING *******************************************************************

Function gfsSortField(vRequested, aAllowed)
	' The requested sort column when it is one of the page's own sortable
	' columns (aAllowed, an array of the qualified names the header links
	' carry), else "". The page's own text is returned, never the request's.
	Dim s, i
	gfsSortField = ""
	If Not IsArray(aAllowed) Then Exit Function
	s = gfsPlainText(vRequested)
	If Len(s) = 0 Then Exit Function
	For i = LBound(aAllowed) To UBound(aAllowed)
		If CStr(aAllowed(i)) = s Then
			gfsSortField = CStr(aAllowed(i))
			Exit Function
		End If
	Next
End Function

Function gfsSortOrder(sSortField, vRequested)
	' "ASC" or "DESC" (any case, blanks ignored) for a valid sort field, "ASC"
	' when the field is valid and the order is not; "" when there is no sort
	' field, so that no ORDER BY is written at all.
	Dim s
	gfsSortOrder = ""
	If Len(gfsPlainText(sSortField)) = 0 Then Exit Function
	s = UCase(Trim(gfsPlainText(vRequested)))
	If s = "DESC" Then
		gfsSortOrder = "DESC"
	Else
		gfsSortOrder = "ASC"
	End If
End Function

' *** CHANGES *******************************************************************
'
' Records change only through a form that a page of this site wrote for the
' visitor's session and that the browser posted back: every form carries the
' session's token in a hidden input, and the insert, update and delete
' routines run only when the request is a POST whose token matches. A link
' or an image on another site (a GET) or a form forged elsewhere (without
' the token) changes nothing.

Function gfsRequestToken()
	' The session's token, made on first use: a GUID from the system's random
	' source, or (where that object is not available) 32 random hex digits.
	Dim s, i
	s = gfsPlainText(Session("TVKW_Token"))
	If Len(s) = 0 Then
		On Error Resume Next
		s = Server.CreateObject("Scriptlet.TypeLib").Guid
		If Err.Number <> 0 Then s = ""
		Err.Clear
		On Error GoTo 0
		s = Replace(Replace(Replace(Left(s, 38), "{", ""), "}", ""), "-", "")
		If Len(s) < 32 Then
			Randomize
			s = ""
			For i = 1 To 32
				s = s & Hex(Int(Rnd * 16))
			Next
		End If
		Session("TVKW_Token") = s
	End If
	gfsRequestToken = s
End Function

Function gfsTokenInput()
	' The hidden input that carries the session's token in every form.
	gfsTokenInput = "<INPUT TYPE=""HIDDEN"" NAME=""TVKToken"" VALUE=""" & gfsHTMLEncode(gfsRequestToken()) & """>"
End Function

Function gfbVerifiedChange()
	' True when the request is a POST that carries the session's token.
	Dim sToken
	gfbVerifiedChange = False
	If UCase(gfsPlainText(Request.ServerVariables("REQUEST_METHOD"))) <> "POST" Then Exit Function
	sToken = gfsPlainText(Session("TVKW_Token"))
	If Len(sToken) = 0 Then Exit Function
	gfbVerifiedChange = (gfsPlainText(Request.Form("TVKToken")) = sToken)
End Function
%>