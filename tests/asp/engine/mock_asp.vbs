' Prelude of every page the harness runs: the ASP objects (Request, Response,
' Server, Application), ADO (Connection, Recordset, Field) over the in-memory
' database TVKDb, and replacements for the built-ins that Wine's VBScript
' engine lacks or gets wrong. It holds what the generated pages and their
' include files use; a page that reaches for anything else fails loudly.
'
' Written for Wine's engine: no "Public a, b" in a class (one name a line),
' no optional arguments (calls with a varying argument count reach the TVKM_
' and TVKF_ helpers through the page compiler), no [bracketed] names, and no
' variable that shares its name with a class. TypeName of a class instance
' is "Object" in this engine.

Const TVK_END_NUMBER = 9999
Const TVK_ERR_TYPE = 13
Const TVK_ERR_NULL = 94
Const TVK_ERR_CLOSED = -2146824584
Const TVK_ERR_OPEN = -2146824583
Const TVK_ERR_NOCONN = -2146824579
Const TVK_ERR_MISMATCH = -2147352571
Const TVK_ERR_MULTISTEP = -2147217887

Dim Request
Dim Response
Dim Server
Dim Application
Dim Session
' Open server-side forward-only recordsets: while one is open, the connection
' answers nothing else (as SQL Server's does without multiple active result
' sets), so a page that opens a lookup list meanwhile fails here too.
Dim TVKBusyCount
TVKBusyCount = 0

Sub TVKCheckNotBusy(source)
	If TVKBusyCount > 0 Then Err.Raise -2147467259, source, "Connection is busy with results for another command"
End Sub

' ------------------------------------------------------------------ helpers

Sub TVKDbCheck()
	If TVKDb.ErrNumber() <> 0 Then Err.Raise TVKDb.ErrNumber(), TVKDb.ErrSource(), TVKDb.ErrDescription()
End Sub

' The engine drops an error raised inside a default property call (rs("x")):
' the error is set in Err but the page goes on. Such errors are recorded and
' raised again by the next call of a mock object (TVKEnter), unless the page
' has cleared Err in between, as a page under On Error Resume Next does.
Sub TVKRaiseFromGet(number, source, description)
	TVKHost.SetPending number, source, description
	Err.Raise number, source, description
End Sub

Sub TVKDbCheckGet()
	If TVKDb.ErrNumber() <> 0 Then TVKRaiseFromGet TVKDb.ErrNumber(), TVKDb.ErrSource(), TVKDb.ErrDescription()
End Sub

Dim TVKPendingN
Dim TVKPendingS
Dim TVKPendingD

' True when a dropped error is still in Err (the page has not cleared it).
Function TVKPendingInErr()
	TVKPendingInErr = False
	If TVKHost.PendingNumber() <> 0 Then
		TVKPendingN = TVKHost.PendingNumber()
		TVKPendingS = TVKHost.PendingSource()
		TVKPendingD = TVKHost.PendingDescription()
		TVKHost.ClearPending
		TVKPendingInErr = (Err.Number <> 0 And Err.Description = TVKPendingD)
	End If
End Function

Sub TVKEnter()
	If TVKPendingInErr() Then Err.Raise TVKPendingN, TVKPendingS, TVKPendingD
End Sub

' The plain value of a variant: an object (a field, a request value) gives
' its default property. (The engine's IsNull, IsEmpty and VarType do not look
' through an object to its default property, as the real one does.)
Function TVKPlain(v)
	If IsObject(v) Then
		If v Is Nothing Then
			TVKPlain = Null
		Else
			TVKPlain = v
		End If
	Else
		TVKPlain = v
	End If
End Function

' Text as Response.Write writes it: Null and Empty write nothing.
Function TVKText(v)
	Dim x
	x = TVKPlain(v)
	If IsNull(x) Or IsEmpty(x) Then
		TVKText = ""
	Else
		TVKText = CStr(x)
	End If
End Function

Function TVKDateToText(d)
	TVKDateToText = Year(d) & "-" & Right("0" & Month(d), 2) & "-" & Right("0" & Day(d), 2) & " " & _
		Right("0" & Hour(d), 2) & ":" & Right("0" & Minute(d), 2) & ":" & Right("0" & Second(d), 2)
End Function

Function TVKTextToDate(s)
	TVKTextToDate = DateSerial(CInt(Mid(s, 1, 4)), CInt(Mid(s, 6, 2)), CInt(Mid(s, 9, 2)))
	If Mid(s, 12) <> "00:00:00" Then
		TVKTextToDate = TVKTextToDate + TimeSerial(CInt(Mid(s, 12, 2)), CInt(Mid(s, 15, 2)), CInt(Mid(s, 18, 2)))
	End If
End Function

' Column type codes by the class of value they hold.
Function TVKTypeClass(t)
	Select Case t
		Case 2, 3, 16, 17, 18, 19, 20, 21
			TVKTypeClass = "int"
		Case 4, 5, 14, 131, 139
			TVKTypeClass = "real"
		Case 6
			TVKTypeClass = "currency"
		Case 11
			TVKTypeClass = "bool"
		Case 7, 64, 133, 134, 135
			TVKTypeClass = "date"
		Case 8, 72, 129, 130, 200, 201, 202, 203
			TVKTypeClass = "text"
		Case Else
			TVKTypeClass = "other"
	End Select
End Function

' A database value as ADO hands it to the page.
Function TVKFromDb(v, t)
	If IsNull(v) Then
		TVKFromDb = Null
		Exit Function
	End If
	Select Case TVKTypeClass(t)
		Case "int"
			TVKFromDb = CLng(v)
		Case "real"
			TVKFromDb = CDbl(v)
		Case "currency"
			TVKFromDb = CCur(v)
		Case "bool"
			TVKFromDb = CBool(v)
		Case "date"
			TVKFromDb = TVKTextToDate(v)
		Case "text"
			TVKFromDb = CStr(v)
		Case Else
			TVKFromDb = v
	End Select
End Function

Sub TVKFieldMismatch(name, v)
	Err.Raise TVK_ERR_MISMATCH, "ADODB.Field", "Type mismatch: the value '" & TVKText(v) & "' cannot be stored in field '" & name & "'."
End Sub

' A value assigned to a field, converted to the field's type the way ADO
' converts it; a value the column cannot take raises an error, as ADO does.
' No error trapping here: a successful assignment leaves Err as it was.
Function TVKToDb(value, t, size, name)
	Dim v
	Dim s
	v = TVKPlain(value)
	If IsNull(v) Or IsEmpty(v) Then
		TVKToDb = Null
		Exit Function
	End If
	If IsArray(v) Then TVKFieldMismatch name, "(array)"
	Select Case TVKTypeClass(t)
		Case "int", "real", "currency"
			If VarType(v) = vbDate Then
				v = CDbl(v)
			ElseIf Not IsNumeric(v) Then
				TVKFieldMismatch name, v
			End If
			If TVKTypeClass(t) = "int" Then
				If CDbl(v) < -2147483648 Or CDbl(v) > 2147483647 Then
					Err.Raise TVK_ERR_MULTISTEP, "ADODB.Field", "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if available. No work was done. (value out of range for field '" & name & "')"
				End If
				TVKToDb = CLng(v)
			Else
				TVKToDb = CDbl(v)
			End If
		Case "bool"
			If VarType(v) = vbString Then
				s = LCase(Trim(v))
				If s <> "true" And s <> "false" And Not IsNumeric(v) Then TVKFieldMismatch name, v
			End If
			TVKToDb = CBool(v)
		Case "date"
			If VarType(v) = vbDate Then
				TVKToDb = TVKDateToText(v)
			ElseIf VarType(v) = vbString Then
				s = TVKDb.ParseDateText(v)
				If IsNull(s) Then TVKFieldMismatch name, v
				TVKToDb = s
			ElseIf IsNumeric(v) Then
				TVKToDb = TVKDateToText(CDate(v))
			Else
				TVKFieldMismatch name, v
			End If
		Case "text"
			s = CStr(v)
			If size > 0 And Len(s) > size Then
				Err.Raise TVK_ERR_MULTISTEP, "ADODB.Field", "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if available. No work was done. (" & Len(s) & " characters for field '" & name & "' of size " & size & ")"
			End If
			TVKToDb = s
		Case Else
			If VarType(v) = vbDate Then
				TVKToDb = TVKDateToText(v)
			Else
				TVKToDb = v
			End If
	End Select
End Function

' ------------------------------------------------------------------ Request

' A value of Request.Form or Request.QueryString: its default property is
' the text (several values joined by ", "), Count the number of values.
Class TVKStringList
	Private mValue
	Private mCount
	Public Sub TVKInit(collection, k)
		mValue = TVKHost.RequestItem(collection, k)
		mCount = TVKHost.RequestItemCount(collection, k)
	End Sub
	Public Default Property Get Item()
		Item = mValue
	End Property
	Public Property Get Count()
		Count = mCount
	End Property
End Class

Class TVKRequest
	Private Function Values(collection, k)
		Dim v
		Set v = New TVKStringList
		v.TVKInit collection, TVKPlain(k)
		Set Values = v
	End Function
	' Request("x") searches the query string, then the form; a name in
	' neither gives Empty.
	Public Default Function Item(k)
		If TVKHost.RequestItemCount("", TVKPlain(k)) > 0 Then
			Set Item = Values("", k)
		Else
			Item = Empty
		End If
	End Function
	Public Function Form(k)
		Set Form = Values("form", k)
	End Function
	Public Function QueryString(k)
		Set QueryString = Values("query", k)
	End Function
	' REQUEST_METHOD: the application value "TVK.RequestMethod" when the test
	' sets one, else POST for a request with a form and GET without.
	Public Function ServerVariables(k)
		Dim m
		ServerVariables = ""
		If UCase(TVKPlain(k)) = "REQUEST_METHOD" Then
			m = Application("TVK.RequestMethod")
			If IsEmpty(m) Then
				m = "GET"
				If TVKHost.FormCount() > 0 Then m = "POST"
			End If
			ServerVariables = m
		End If
	End Function
End Class

' ----------------------------------------------------------------- Response

Class TVKResponse
	Private mExpires
	Public CodePage
	Public Charset

	Private Sub StopIfEnded()
		If TVKHost.IsEnded() Then
			TVKHost.Note "The page went on after Response.End (it ran under On Error Resume Next)."
			Err.Raise TVK_END_NUMBER, "Response.End", "Response.End"
		End If
	End Sub

	' A dropped error is raised again after the write, so that a page under
	' On Error Resume Next still writes (and keeps the error in Err).
	Public Sub Write(v)
		Dim again
		again = TVKPendingInErr()
		TVKHost.Write TVKText(v)
		StopIfEnded
		If again Then Err.Raise TVKPendingN, TVKPendingS, TVKPendingD
	End Sub
	Public Sub Redirect(url)
		TVKEnter
		TVKHost.Redirect TVKText(url)
		StopIfEnded
	End Sub
	Public Sub TVKEnd()
		TVKEnter
		TVKHost.MarkEnded
		Err.Raise TVK_END_NUMBER, "Response.End", "Response.End"
	End Sub
	Public Property Get Expires()
		Expires = mExpires
	End Property
	Public Property Let Expires(v)
		mExpires = v
		TVKHost.SetExpires v
	End Property
End Class

' ------------------------------------------------------------------- Server

Class TVKServer
	Public Function CreateObject(progId)
		Select Case LCase(progId)
			Case "adodb.connection"
				Set CreateObject = New TVKConnection
			Case "adodb.recordset"
				Set CreateObject = New TVKRecordset
			Case "scripting.dictionary"
				Set CreateObject = TVKHost.NewObject("Scripting.Dictionary")
			Case Else
				Err.Raise 429, "Server.CreateObject", "The harness does not provide the object '" & progId & "'."
		End Select
	End Function
	Public Function URLEncode(v)
		Dim x
		x = TVKPlain(v)
		If IsNull(x) Then Err.Raise TVK_ERR_NULL, "Server.URLEncode", "Invalid use of Null"
		URLEncode = TVKHost.URLEncode(TVKText(x))
	End Function
End Class

' The built-in CreateObject is replaced so that pages and include files get
' the same mock objects through it as through Server.CreateObject.
Function CreateObject(progId)
	Set CreateObject = Server.CreateObject(progId)
End Function

' -------------------------------------------------------------- Application

Class TVKStore
	Private d

	Public Sub TVKInit(dict)
		Set d = dict
	End Sub
	Public Default Property Get Item(k)
		Item = d.Item(k)
	End Property
	Public Property Let Item(k, v)
		If d.Exists(k) Then d.Remove k
		d.Add k, v
	End Property
End Class

' ----------------------------------------------------------------------- ADO

Class TVKConnection
	Public ConnectionTimeout
	Public CommandTimeout
	Private mState
	Private mConnectionString

	Private Sub Class_Initialize()
		mState = 0
		ConnectionTimeout = 15
		CommandTimeout = 30
	End Sub

	Public Property Get State()
		State = mState
	End Property

	Public Sub TVKOpen(a)
		TVKEnter
		If mState = 1 Then Err.Raise TVK_ERR_OPEN, "ADODB.Connection", "Operation is not allowed when the object is open."
		If UBound(a) >= 0 Then
			If Not IsEmpty(a(0)) Then mConnectionString = TVKText(a(0))
		End If
		TVKDb.Connect TVKText(mConnectionString)
		TVKDbCheck
		mState = 1
	End Sub

	Public Function TVKExecute(a)
		Dim handle
		Dim rs
		TVKEnter
		If mState <> 1 Then Err.Raise TVK_ERR_NOCONN, "ADODB.Connection", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		If UBound(a) < 0 Then Err.Raise 450, "ADODB.Connection", "Wrong number of arguments or invalid property assignment: Execute"
		TVKCheckNotBusy "ADODB.Connection"
		handle = TVKDb.Execute(TVKText(a(0)))
		TVKDbCheck
		Set rs = New TVKRecordset
		If handle > 0 Then rs.TVKAttach handle, 0, 1, TVKText(a(0))
		Set TVKExecute = rs
	End Function

	Public Sub Close()
		TVKEnter
		If mState <> 1 Then Err.Raise TVK_ERR_CLOSED, "ADODB.Connection", "Operation is not allowed when the object is closed."
		mState = 0
	End Sub
End Class

Class TVKField
	Private mRs
	Private mIndex

	Public Sub TVKInit(rs, i)
		Set mRs = rs
		mIndex = i
	End Sub
	Public Default Property Get Value()
		Value = mRs.TVKGetValue(mIndex)
	End Property
	Public Property Let Value(v)
		mRs.TVKSetValue mIndex, v
	End Property
	Public Property Get Type()
		Type = mRs.TVKFieldType(mIndex)
	End Property
End Class

Class TVKRecordset
	Public CursorLocation
	Private mBusy
	Private h
	Private mPageSize
	Private mCursorType
	Private mLockType
	Private mSource
	Private mConnection

	Private Sub Class_Initialize()
		h = 0
		mPageSize = 10
		mCursorType = 0
		mLockType = 1
		CursorLocation = 2 ' adUseServer
		mBusy = False
	End Sub

	Private Sub NeedOpen()
		TVKEnter
		If h = 0 Then Err.Raise TVK_ERR_CLOSED, "ADODB.Recordset", "Operation is not allowed when the object is closed."
	End Sub

	Public Sub TVKAttach(handle, cursorType, lockType, source)
		h = handle
		mCursorType = cursorType
		mLockType = lockType
		mSource = source
	End Sub

	' Open Source, ActiveConnection, CursorType, LockType, Options
	Public Sub TVKOpen(a)
		Dim n
		Dim handle
		TVKEnter
		n = UBound(a)
		If h <> 0 Then Err.Raise TVK_ERR_OPEN, "ADODB.Recordset", "Operation is not allowed when the object is open."
		If n >= 0 Then
			If Not IsEmpty(a(0)) Then mSource = TVKText(a(0))
		End If
		If n >= 1 Then
			If IsObject(a(1)) Then Set mConnection = a(1)
		End If
		If n >= 2 Then
			If Not IsEmpty(a(2)) Then mCursorType = CLng(a(2))
		End If
		If n >= 3 Then
			If Not IsEmpty(a(3)) Then mLockType = CLng(a(3))
		End If
		' The pages always open on their connection object.
		If Not IsObject(mConnection) Then Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		If mConnection Is Nothing Then Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		If mConnection.State <> 1 Then Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		' A client cursor is always static.
		If CLng(CursorLocation) = 3 Then mCursorType = 3
		TVKCheckNotBusy "ADODB.Recordset"
		handle = TVKDb.Open(mSource, mCursorType, mLockType)
		TVKDbCheck
		h = handle
		If mCursorType = 0 And CLng(CursorLocation) <> 3 Then
			mBusy = True
			TVKBusyCount = TVKBusyCount + 1
		End If
		TVKDb.SetPageSize h, mPageSize
		TVKDbCheck
	End Sub

	Public Property Get State()
		If h = 0 Then
			State = 0
		Else
			State = 1
		End If
	End Property
	Public Property Get EOF()
		NeedOpen
		EOF = TVKDb.EOF(h)
		TVKDbCheck
	End Property
	Public Property Get BOF()
		NeedOpen
		BOF = TVKDb.BOF(h)
		TVKDbCheck
	End Property
	Public Property Get PageCount()
		NeedOpen
		PageCount = TVKDb.PageCount(h)
		TVKDbCheck
	End Property
	Public Property Get PageSize()
		PageSize = mPageSize
	End Property
	Public Property Let PageSize(v)
		If CLng(v) < 1 Then Err.Raise -2146825287, "ADODB.Recordset", "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another."
		mPageSize = CLng(v)
		If h <> 0 Then
			TVKDb.SetPageSize h, mPageSize
			TVKDbCheck
		End If
	End Property
	Public Property Get AbsolutePage()
		NeedOpen
		AbsolutePage = TVKDb.GetAbsolutePage(h)
		TVKDbCheck
	End Property
	Public Property Let AbsolutePage(v)
		NeedOpen
		TVKDb.SetAbsolutePage h, TVKPlain(v)
		TVKDbCheck
	End Property
	Public Sub MoveNext()
		NeedOpen
		TVKDb.MoveNext h
		TVKDbCheck
	End Sub
	' Find Criteria (the pages give no other argument)
	Public Sub TVKFind(a)
		If UBound(a) <> 0 Then Err.Raise 450, "ADODB.Recordset", "The harness's Find takes the criteria alone"
		NeedOpen
		TVKDb.Find h, TVKText(a(0))
		TVKDbCheck
	End Sub
	Public Sub TVKAddNew(a)
		If UBound(a) >= 0 Then Err.Raise 450, "ADODB.Recordset", "The harness's AddNew takes no field list"
		NeedOpen
		TVKDb.AddNew h
		TVKDbCheck
	End Sub
	Public Sub TVKUpdate(a)
		If UBound(a) >= 0 Then Err.Raise 450, "ADODB.Recordset", "The harness's Update takes no field list"
		NeedOpen
		TVKDb.Update h
		TVKDbCheck
	End Sub

	Public Sub CancelUpdate()
		NeedOpen
		TVKDb.CancelUpdate h
		TVKDbCheck
	End Sub

	Public Sub Close()
		NeedOpen
		TVKDb.Close h
		TVKDbCheck
		h = 0
		If mBusy Then
			mBusy = False
			TVKBusyCount = TVKBusyCount - 1
		End If
	End Sub

	' Fields: by name or by position.
	Private Function FieldIndex(k)
		NeedOpen
		FieldIndex = TVKDb.FieldIndex(h, TVKPlain(k))
		TVKDbCheck
	End Function
	Public Function TVKGetValue(i)
		Dim v
		Dim t
		v = TVKDb.GetValue(h, i)
		TVKDbCheckGet
		t = TVKDb.FieldType(h, i)
		TVKGetValue = TVKFromDb(v, t)
	End Function
	Public Sub TVKSetValue(i, v)
		Dim cv
		NeedOpen
		cv = TVKToDb(v, TVKDb.FieldType(h, i), TVKDb.FieldSize(h, i), TVKDb.FieldName(h, i))
		TVKDb.SetValue h, i, cv
		TVKDbCheck
	End Sub
	Public Function TVKFieldType(i)
		NeedOpen
		TVKFieldType = TVKDb.FieldType(h, i)
		TVKDbCheck
	End Function

	' rs("Name") gives the Field object, whose default property is its value;
	' rs("Name") = v writes the value.
	Public Default Property Get Item(k)
		Dim i
		Dim f
		If h = 0 Then TVKRaiseFromGet TVK_ERR_CLOSED, "ADODB.Recordset", "Operation is not allowed when the object is closed."
		i = TVKDb.FieldIndex(h, TVKPlain(k))
		TVKDbCheckGet
		Set f = New TVKField
		f.TVKInit Me, i
		Set Item = f
	End Property
	Public Property Let Item(k, v)
		TVKSetValue FieldIndex(k), v
	End Property
	' GetRows: the values from the current record on, as an array (field,
	' record).
	Public Function TVKGetRows(a)
		Dim nFields
		Dim nRows
		Dim r
		Dim i
		Dim rows
		NeedOpen
		nFields = TVKDb.FieldCount(h)
		nRows = TVKDb.Remaining(h)
		TVKDbCheck
		If UBound(a) >= 0 Then Err.Raise 450, "ADODB.Recordset", "The harness's GetRows takes no argument"
		If nRows = 0 Then Err.Raise -2146825267, "ADODB.Recordset", "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record."
		ReDim rows(nFields - 1, nRows - 1)
		For r = 0 To nRows - 1
			For i = 0 To nFields - 1
				rows(i, r) = TVKGetValue(i)
			Next
			MoveNext
		Next
		TVKGetRows = rows
	End Function
End Class

' ------------------------------------------- calls with a varying arity
' The page compiler turns obj.Open a, b into TVKM_Open obj, Array(a, b).

Function TVKM_Open(o, a)
	o.TVKOpen a
End Function
Function TVKM_Find(o, a)
	o.TVKFind a
End Function
Function TVKM_AddNew(o, a)
	o.TVKAddNew a
End Function
Function TVKM_Update(o, a)
	o.TVKUpdate a
End Function
Function TVKM_End(o, a)
	o.TVKEnd
End Function
Function TVKM_GetRows(o, a)
	TVKM_GetRows = o.TVKGetRows(a)
End Function
Function TVKM_Execute(o, a)
	Set TVKM_Execute = o.TVKExecute(a)
End Function

' ------------------------------------------ built-ins the engine lacks
' Calls with optional arguments arrive as TVKF_name(Array(args)).

Function TVKF_Mid(a)
	Dim s
	s = TVKPlain(a(0))
	If IsNull(s) Then
		TVKF_Mid = Null
	ElseIf UBound(a) >= 2 Then
		TVKF_Mid = Mid(s, a(1), a(2))
	Else
		TVKF_Mid = Mid(s, a(1))
	End If
End Function

' Built-ins with a fixed argument count are replaced by a function of the
' same name (the engine prefers the script's own).

Function Trim(v)
	Dim x
	x = TVKPlain(v)
	If IsNull(x) Then
		Trim = Null
	Else
		Trim = TVKHost.TrimText(CStr(x))
	End If
End Function
Function Left(v, n)
	Dim x
	x = TVKPlain(v)
	If IsNull(x) Then
		Left = Null
	ElseIf n < 0 Then
		Err.Raise 5, "Left", "Invalid procedure call or argument: 'Left'"
	Else
		Left = Mid(CStr(x), 1, n)
	End If
End Function

' IsDate: a date value, or a text that reads as one (the engine's own
' IsDate answers False for every text).
Function IsDate(v)
	Dim x
	x = TVKPlain(v)
	If VarType(x) = vbDate Then
		IsDate = True
	ElseIf VarType(x) = vbString Then
		IsDate = Not IsNull(TVKDb.ParseDateText(x))
	Else
		IsDate = False
	End If
End Function
' -------------------------------------------------------------- the objects

Set Request = New TVKRequest
Set Response = New TVKResponse
Set Server = New TVKServer
Set Application = New TVKStore
Application.TVKInit TVKHost.Application()
' The session starts with the application values named "Session.x" (as x),
' so that a test can run a page in a session it made before.
Set Session = New TVKStore
Session.TVKInit TVKHost.NewObject("Scripting.Dictionary")
Dim TVKKey
For Each TVKKey In TVKHost.Application().Keys
	If LCase(Left(TVKKey, 8)) = "session." Then Session(Mid(TVKKey, 9, Len(TVKKey))) = TVKHost.Application().Item(TVKKey)
Next
