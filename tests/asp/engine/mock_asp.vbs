' Prelude of every page the harness runs: the ASP objects (Request, Response,
' Server, Session, Application), ADO (Connection, Recordset, Field) over the
' in-memory database TVKDb, and replacements for the built-ins that Wine's
' VBScript engine lacks or gets wrong.
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
Const TVK_ERR_NOTSUPPORTED = -2146825037

Dim Request
Dim Response
Dim Server
Dim Session
Dim Application

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
				s = LCase(TVKTrimText(v, 3))
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
	' Request("x") searches the query string, the form, the cookies and the
	' server variables; a name in none of them gives Empty.
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
	Public Function Cookies(k)
		Cookies = TVKHost.RequestItem("cookies", TVKPlain(k))
	End Function
	Public Function ServerVariables(k)
		If UCase(k) = "REQUEST_METHOD" Then
			ServerVariables = TVKHost.RequestMethod()
		Else
			ServerVariables = TVKHost.RequestItem("server", TVKPlain(k))
		End If
	End Function
	Public Property Get TotalBytes()
		TotalBytes = 0
	End Property
End Class

' ----------------------------------------------------------------- Response

Class TVKResponse
	Public Buffer
	Public ContentType
	Public Charset
	Public Status
	Public CacheControl
	Public CodePage
	Public LCID
	Public ExpiresAbsolute
	Private mExpires

	Private Sub Class_Initialize()
		Buffer = True
		ContentType = "text/html"
		Status = "200 OK"
	End Sub

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
	Public Sub BinaryWrite(v)
		TVKHost.Write TVKText(v)
		StopIfEnded
	End Sub
	Public Sub Redirect(url)
		TVKEnter
		TVKHost.Redirect TVKText(url)
		Status = "302 Object moved"
		StopIfEnded
	End Sub
	Public Sub TVKEnd()
		TVKEnter
		TVKHost.MarkEnded
		Err.Raise TVK_END_NUMBER, "Response.End", "Response.End"
	End Sub
	Public Sub Clear()
		TVKHost.Clear
	End Sub
	Public Sub Flush()
	End Sub
	Public Sub AddHeader(name, value)
		TVKHost.AddHeader name, value
	End Sub
	Public Sub AppendToLog(s)
	End Sub
	Public Property Get Expires()
		Expires = mExpires
	End Property
	Public Property Let Expires(v)
		mExpires = v
		TVKHost.SetExpires v
	End Property
	Public Property Get IsClientConnected()
		IsClientConnected = True
	End Property
End Class

' ------------------------------------------------------------------- Server

Class TVKServer
	Public ScriptTimeout

	Private Sub Class_Initialize()
		ScriptTimeout = 90
	End Sub

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
	Public Function HTMLEncode(v)
		Dim x
		x = TVKPlain(v)
		If IsNull(x) Then Err.Raise TVK_ERR_NULL, "Server.HTMLEncode", "Invalid use of Null"
		HTMLEncode = TVKHost.HTMLEncode(TVKText(x))
	End Function
	Public Function URLEncode(v)
		Dim x
		x = TVKPlain(v)
		If IsNull(x) Then Err.Raise TVK_ERR_NULL, "Server.URLEncode", "Invalid use of Null"
		URLEncode = TVKHost.URLEncode(TVKText(x))
	End Function
	Public Function MapPath(p)
		MapPath = "C:\Inetpub\wwwroot\" & Replace(p, "/", "\")
	End Function
End Class

' The built-in CreateObject is replaced so that pages and include files get
' the same mock objects through it as through Server.CreateObject.
Function CreateObject(progId)
	Set CreateObject = Server.CreateObject(progId)
End Function

' ---------------------------------------------------- Application, Session

Class TVKStore
	Private d
	Public SessionID
	Public Timeout
	Public LCID
	Public CodePage

	Public Sub TVKInit(dict, id)
		Set d = dict
		SessionID = id
		Timeout = 20
	End Sub
	Public Default Property Get Item(k)
		If IsObject(d.Item(k)) Then
			Set Item = d.Item(k)
		Else
			Item = d.Item(k)
		End If
	End Property
	Public Property Let Item(k, v)
		If d.Exists(k) Then d.Remove k
		d.Add k, v
	End Property
	Public Property Set Item(k, v)
		If d.Exists(k) Then d.Remove k
		d.Add k, v
	End Property
	Public Function Contents(k)
		If IsObject(d.Item(k)) Then
			Set Contents = d.Item(k)
		Else
			Contents = d.Item(k)
		End If
	End Function
	Public Sub Remove(k)
		If d.Exists(k) Then d.Remove k
	End Sub
	Public Sub RemoveAll()
		d.RemoveAll
	End Sub
	Public Sub Lock()
	End Sub
	Public Sub Unlock()
	End Sub
	Public Sub Abandon()
	End Sub
End Class

' ----------------------------------------------------------------------- ADO

Class TVKConnection
	Public ConnectionTimeout
	Public CommandTimeout
	Public CursorLocation
	Public Mode
	Public Provider
	Public DefaultDatabase
	Public IsolationLevel
	Private mState
	Private mConnectionString

	Private Sub Class_Initialize()
		mState = 0
		ConnectionTimeout = 15
		CommandTimeout = 30
		CursorLocation = 2
	End Sub

	Public Property Get State()
		State = mState
	End Property
	Public Property Get ConnectionString()
		ConnectionString = mConnectionString
	End Property
	Public Property Let ConnectionString(s)
		mConnectionString = s
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
	Public Function BeginTrans()
		BeginTrans = 1
	End Function
	Public Sub CommitTrans()
	End Sub
	Public Sub RollbackTrans()
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
	Public Property Get Name()
		Name = mRs.TVKFieldInfo(mIndex, "name")
	End Property
	Public Property Get Type()
		Type = mRs.TVKFieldInfo(mIndex, "type")
	End Property
	Public Property Get DefinedSize()
		DefinedSize = mRs.TVKFieldInfo(mIndex, "size")
	End Property
	Public Property Get Attributes()
		Attributes = mRs.TVKFieldInfo(mIndex, "attributes")
	End Property
	Public Property Get ActualSize()
		Dim v
		v = Value
		If IsNull(v) Then
			ActualSize = 0
		Else
			ActualSize = Len(CStr(v))
		End If
	End Property
	Public Property Get OriginalValue()
		OriginalValue = Value
	End Property
	Public Property Get UnderlyingValue()
		UnderlyingValue = Value
	End Property
End Class

Class TVKRecordset
	Public CursorLocation
	Public CacheSize
	Public MaxRecords
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
		CursorLocation = 2
		CacheSize = 1
		MaxRecords = 0
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
		Dim conn
		Dim handle
		TVKEnter
		n = UBound(a)
		If h <> 0 Then Err.Raise TVK_ERR_OPEN, "ADODB.Recordset", "Operation is not allowed when the object is open."
		If n >= 0 Then
			If Not IsEmpty(a(0)) Then mSource = TVKText(a(0))
		End If
		If n >= 1 Then
			If IsObject(a(1)) Then
				Set mConnection = a(1)
			ElseIf Not IsEmpty(a(1)) Then
				mConnection = a(1)
			End If
		End If
		If n >= 2 Then
			If Not IsEmpty(a(2)) Then mCursorType = CLng(a(2))
		End If
		If n >= 3 Then
			If Not IsEmpty(a(3)) Then mLockType = CLng(a(3))
		End If
		If IsObject(mConnection) Then
			If mConnection Is Nothing Then Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
			If mConnection.State <> 1 Then Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		ElseIf IsEmpty(mConnection) Then
			Err.Raise TVK_ERR_NOCONN, "ADODB.Recordset", "The connection cannot be used to perform this operation. It is either closed or invalid in this context."
		Else
			TVKDb.Connect TVKText(mConnection)
			TVKDbCheck
		End If
		handle = TVKDb.Open(mSource, mCursorType, mLockType)
		TVKDbCheck
		h = handle
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
	Public Property Get Source()
		Source = mSource
	End Property
	Public Property Let Source(s)
		mSource = s
	End Property
	Public Property Get ActiveConnection()
		If IsObject(mConnection) Then
			Set ActiveConnection = mConnection
		Else
			ActiveConnection = mConnection
		End If
	End Property
	Public Property Set ActiveConnection(c)
		Set mConnection = c
	End Property
	Public Property Let ActiveConnection(c)
		mConnection = c
	End Property
	Public Property Get CursorType()
		CursorType = mCursorType
	End Property
	Public Property Let CursorType(v)
		If h <> 0 Then Err.Raise TVK_ERR_OPEN, "ADODB.Recordset", "Operation is not allowed when the object is open."
		mCursorType = v
	End Property
	Public Property Get LockType()
		LockType = mLockType
	End Property
	Public Property Let LockType(v)
		If h <> 0 Then Err.Raise TVK_ERR_OPEN, "ADODB.Recordset", "Operation is not allowed when the object is open."
		mLockType = v
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
	Public Property Get RecordCount()
		NeedOpen
		RecordCount = TVKDb.RecordCount(h)
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
	Public Property Get AbsolutePosition()
		NeedOpen
		AbsolutePosition = TVKDb.GetAbsolutePosition(h)
		TVKDbCheck
	End Property
	Public Property Let AbsolutePosition(v)
		NeedOpen
		TVKDb.SetAbsolutePosition h, TVKPlain(v)
		TVKDbCheck
	End Property
	Public Property Get EditMode()
		NeedOpen
		EditMode = TVKDb.EditMode(h)
		TVKDbCheck
	End Property

	Private Sub MoveBy(how, n)
		NeedOpen
		TVKDb.Move h, how, n
		TVKDbCheck
	End Sub
	Public Sub MoveNext()
		MoveBy "next", 1
	End Sub
	Public Sub MovePrevious()
		MoveBy "previous", 1
	End Sub
	Public Sub MoveFirst()
		MoveBy "first", 0
	End Sub
	Public Sub MoveLast()
		MoveBy "last", 0
	End Sub
	Public Sub TVKMove(a)
		If UBound(a) < 0 Then Err.Raise 450, "ADODB.Recordset", "Wrong number of arguments or invalid property assignment: Move"
		MoveBy "relative", CLng(a(0))
	End Sub

	' Find Criteria, SkipRows, SearchDirection, Start
	Public Sub TVKFind(a)
		Dim skip
		Dim direction
		Dim start
		If UBound(a) < 0 Then Err.Raise 450, "ADODB.Recordset", "Wrong number of arguments or invalid property assignment: Find"
		NeedOpen
		skip = 0
		direction = 1
		start = 0
		If UBound(a) >= 1 Then
			If Not IsEmpty(a(1)) Then skip = CLng(a(1))
		End If
		If UBound(a) >= 2 Then
			If Not IsEmpty(a(2)) Then direction = CLng(a(2))
		End If
		If UBound(a) >= 3 Then
			If Not IsEmpty(a(3)) Then start = CLng(a(3))
		End If
		TVKDb.Find h, TVKText(a(0)), skip, direction, start
		TVKDbCheck
	End Sub

	' AddNew [FieldList, Values]
	Public Sub TVKAddNew(a)
		NeedOpen
		TVKDb.AddNew h
		TVKDbCheck
		If UBound(a) >= 1 Then
			SetFields a(0), a(1)
			TVKDb.Update h
			TVKDbCheck
		End If
	End Sub

	' Update [Fields, Values]
	Public Sub TVKUpdate(a)
		NeedOpen
		If UBound(a) >= 1 Then SetFields a(0), a(1)
		TVKDb.Update h
		TVKDbCheck
	End Sub

	Private Sub SetFields(names, values)
		Dim i
		If IsArray(names) Then
			For i = LBound(names) To UBound(names)
				Item(names(i)) = values(i)
			Next
		Else
			Item(names) = values
		End If
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
	End Sub

	Public Function Supports(options)
		Supports = True
	End Function

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
	Public Function TVKFieldInfo(i, what)
		NeedOpen
		Select Case what
			Case "name"
				TVKFieldInfo = TVKDb.FieldName(h, i)
			Case "type"
				TVKFieldInfo = TVKDb.FieldType(h, i)
			Case "size"
				TVKFieldInfo = TVKDb.FieldSize(h, i)
			Case "attributes"
				TVKFieldInfo = TVKDb.FieldAttributes(h, i)
		End Select
		TVKDbCheck
	End Function

	' rs("Name") and rs.Fields("Name") give the Field object, whose default
	' property is its value; rs("Name") = v writes the value.
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
	Public Function Fields(k)
		Dim f
		Set f = New TVKField
		f.TVKInit Me, FieldIndex(k)
		Set Fields = f
	End Function

	' GetRows [Rows]: the values from the current record on, as an array
	' (field, record).
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
		If UBound(a) >= 0 Then
			If Not IsEmpty(a(0)) Then
				If CLng(a(0)) >= 0 And CLng(a(0)) < nRows Then nRows = CLng(a(0))
			End If
		End If
		If nRows = 0 Then Err.Raise -2146825267, "ADODB.Recordset", "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record."
		ReDim rows(nFields - 1, nRows - 1)
		For r = 0 To nRows - 1
			For i = 0 To nFields - 1
				rows(i, r) = TVKGetValue(i)
			Next
			MoveBy "next", 1
		Next
		TVKGetRows = rows
	End Function
	Public Property Get FieldCount()
		NeedOpen
		FieldCount = TVKDb.FieldCount(h)
		TVKDbCheck
	End Property
End Class

' ------------------------------------------- calls with a varying arity
' The page compiler turns obj.Open a, b into TVKM_Open obj, Array(a, b).

Function TVKIsRegExp(o)
	TVKIsRegExp = False
	If IsObject(o) Then TVKIsRegExp = (InStr(TypeName(o), "RegExp") > 0)
End Function

Function TVKM_Open(o, a)
	o.TVKOpen a
End Function
Function TVKM_Find(o, a)
	o.TVKFind a
End Function
Function TVKM_Move(o, a)
	o.TVKMove a
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
	If TVKIsRegExp(o) Then
		Set TVKM_Execute = o.Execute(a(0))
	Else
		Set TVKM_Execute = o.TVKExecute(a)
	End If
End Function

' ------------------------------------------ built-ins the engine lacks
' Calls with optional arguments arrive as TVKF_name(Array(args)).

Function TVKF_Round(a)
	Dim x
	Dim n
	Dim f
	Dim r
	Dim diff
	x = TVKPlain(a(0))
	n = 0
	If UBound(a) >= 1 Then n = CLng(a(1))
	If IsNull(x) Then
		TVKF_Round = Null
		Exit Function
	End If
	f = 10 ^ n
	r = Int(CDbl(x) * f)
	diff = CDbl(x) * f - r
	If diff > 0.5000000001 Then
		r = r + 1
	ElseIf diff > 0.4999999999 Then
		If r Mod 2 <> 0 Then r = r + 1
	End If
	TVKF_Round = r / f
End Function

Function TVKF_Join(a)
	Dim arr
	Dim sep
	Dim i
	Dim s
	arr = a(0)
	sep = " "
	If UBound(a) >= 1 Then sep = a(1)
	s = ""
	For i = LBound(arr) To UBound(arr)
		If i > LBound(arr) Then s = s & sep
		s = s & TVKText(arr(i))
	Next
	TVKF_Join = s
End Function

Function TVKF_Filter(a)
	Dim arr
	Dim match
	Dim include
	Dim compare
	Dim r
	Dim i
	Dim n
	Dim found
	arr = a(0)
	match = a(1)
	include = True
	compare = 0
	If UBound(a) >= 2 Then include = CBool(a(2))
	If UBound(a) >= 3 Then compare = CLng(a(3))
	r = Array()
	n = -1
	For i = LBound(arr) To UBound(arr)
		found = (InStr(1, arr(i), match, compare) > 0)
		If found = include Then
			n = n + 1
			ReDim Preserve r(n)
			r(n) = arr(i)
		End If
	Next
	TVKF_Filter = r
End Function

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

Function TVKDayNumber(d)
	TVKDayNumber = Int(CDbl(CDate(d)))
End Function

Function TVKSecondNumber(d)
	TVKSecondNumber = Int(CDbl(CDate(d)) * 86400 + 0.5)
End Function

Function TVKF_DateDiff(a)
	Dim interval
	Dim d1
	Dim d2
	interval = LCase(a(0))
	d1 = CDate(a(1))
	d2 = CDate(a(2))
	Select Case interval
		Case "yyyy"
			TVKF_DateDiff = Year(d2) - Year(d1)
		Case "q"
			TVKF_DateDiff = (Year(d2) - Year(d1)) * 4 + ((Month(d2) - 1) \ 3) - ((Month(d1) - 1) \ 3)
		Case "m"
			TVKF_DateDiff = (Year(d2) - Year(d1)) * 12 + Month(d2) - Month(d1)
		Case "y", "d"
			TVKF_DateDiff = TVKDayNumber(d2) - TVKDayNumber(d1)
		Case "w"
			TVKF_DateDiff = Fix((TVKDayNumber(d2) - TVKDayNumber(d1)) / 7)
		Case "ww"
			TVKF_DateDiff = ((TVKDayNumber(d2) - Weekday(d2) + 1) - (TVKDayNumber(d1) - Weekday(d1) + 1)) \ 7
		Case "h"
			TVKF_DateDiff = TVKSecondNumber(d2) \ 3600 - TVKSecondNumber(d1) \ 3600
		Case "n"
			TVKF_DateDiff = TVKSecondNumber(d2) \ 60 - TVKSecondNumber(d1) \ 60
		Case "s"
			TVKF_DateDiff = TVKSecondNumber(d2) - TVKSecondNumber(d1)
		Case Else
			Err.Raise 5, "DateDiff", "Invalid procedure call or argument: DateDiff interval '" & interval & "'"
	End Select
End Function

Function TVKF_DatePart(a)
	Dim interval
	Dim d
	interval = LCase(a(0))
	d = CDate(a(1))
	Select Case interval
		Case "yyyy"
			TVKF_DatePart = Year(d)
		Case "q"
			TVKF_DatePart = (Month(d) - 1) \ 3 + 1
		Case "m"
			TVKF_DatePart = Month(d)
		Case "y"
			TVKF_DatePart = TVKDayNumber(d) - TVKDayNumber(DateSerial(Year(d), 1, 1)) + 1
		Case "d"
			TVKF_DatePart = Day(d)
		Case "w"
			TVKF_DatePart = Weekday(d)
		Case "ww"
			TVKF_DatePart = (TVKDayNumber(d) - TVKDayNumber(DateSerial(Year(d), 1, 1)) + Weekday(DateSerial(Year(d), 1, 1)) - 1) \ 7 + 1
		Case "h"
			TVKF_DatePart = Hour(d)
		Case "n"
			TVKF_DatePart = Minute(d)
		Case "s"
			TVKF_DatePart = Second(d)
		Case Else
			Err.Raise 5, "DatePart", "Invalid procedure call or argument: DatePart interval '" & interval & "'"
	End Select
End Function

' Built-ins with a fixed argument count are replaced by a function of the
' same name (the engine prefers the script's own).

Function TVKTrimText(v, sides)
	Dim x
	x = TVKPlain(v)
	If IsNull(x) Then
		TVKTrimText = Null
	Else
		TVKTrimText = TVKHost.TrimText(CStr(x), sides)
	End If
End Function
Function Trim(v)
	Trim = TVKTrimText(v, 3)
End Function
Function LTrim(v)
	LTrim = TVKTrimText(v, 1)
End Function
Function RTrim(v)
	RTrim = TVKTrimText(v, 2)
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
Function DateValue(v)
	Dim x
	x = TVKPlain(v)
	If VarType(x) = vbString Then
		x = TVKDb.ParseDateText(x)
		If IsNull(x) Then Err.Raise TVK_ERR_TYPE, "DateValue", "Type mismatch: 'DateValue'"
		x = TVKTextToDate(x)
	End If
	DateValue = DateSerial(Year(x), Month(x), Day(x))
End Function
Function TimeValue(v)
	Dim x
	x = TVKPlain(v)
	If VarType(x) = vbString Then
		x = TVKDb.ParseDateText("1899-12-30 " & x)
		If IsNull(x) Then Err.Raise TVK_ERR_TYPE, "TimeValue", "Type mismatch: 'TimeValue'"
		x = TVKTextToDate(x)
	End If
	TimeValue = TimeSerial(Hour(x), Minute(x), Second(x))
End Function
Function ChrW(n)
	ChrW = TVKHost.CharFromCode(CLng(n))
End Function
Function AscW(s)
	AscW = TVKHost.CodeOfChar(CStr(s))
End Function
Function Escape(s)
	Escape = TVKHost.EscapeText(TVKText(s))
End Function
Function Unescape(s)
	Unescape = TVKHost.UnescapeText(TVKText(s))
End Function

' -------------------------------------------------------------- the objects

Set Request = New TVKRequest
Set Response = New TVKResponse
Set Server = New TVKServer
Set Session = New TVKStore
Session.TVKInit TVKHost.Session(), "123456789"
Set Application = New TVKStore
Application.TVKInit TVKHost.Application(), ""
