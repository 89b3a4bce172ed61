' Stand-ins for the ASP objects and an ADO recordset, enough for the include
' files' routines. Wine's VBScript lacks Join and Dictionary's Set Item, so
' neither is used here.
Option Explicit
Class StringList
	Public Vals
	Private Sub Class_Initialize
		Vals = Array()
	End Sub
	Public Default Property Get Item
		If UBound(Vals) < 0 Then
			Item = Empty
		Else
			Item = Vals(0)
		End If
	End Property
	Public Property Get Count
		Count = UBound(Vals) + 1
	End Property
End Class
Dim gPosted
Set gPosted = CreateObject("Scripting.Dictionary")
Class MockRequest
	Public Function Form(k)
		Dim sl
		Set sl = New StringList
		If gPosted.Exists(k) Then sl.Vals = Array(gPosted(k))
		Set Form = sl
	End Function
	Public Default Function Item(k)
		Set Item = Form(k)
	End Function
End Class
Class MockResponse
	Public Buf
	Public Sub Write(s)
		Buf = Buf & s
	End Sub
End Class
Class MockField
	Public Value
	Public FType
	Public Default Property Get Val
		Val = Value
	End Property
End Class
Class MockRS
	Public Fields
	Public State
	Public BOF
	Public EOF
	Private Sub Class_Initialize
		Set Fields = CreateObject("Scripting.Dictionary")
		State = 1 : BOF = False : EOF = False
	End Sub
	Public Sub AddField(n, v, t)
		Dim f
		Set f = New MockField
		f.Value = v : f.FType = t
		Fields.Add n, f
	End Sub
	Public Default Function Item(n)
		Set Item = Fields(n)
	End Function
End Class
Dim Request, Response
Set Request = New MockRequest
Set Response = New MockResponse
Dim nFail
nFail = 0
Sub Check(sWhat, vGot, vWant)
	If VarType(vGot) <> VarType(vWant) Then
		WScript.Echo "FAIL " & sWhat & ": type " & VarType(vGot) & " want " & VarType(vWant)
		nFail = nFail + 1
	ElseIf vGot <> vWant Then
		WScript.Echo "FAIL " & sWhat & ": [" & vGot & "] want [" & vWant & "]"
		nFail = nFail + 1
	End If
End Sub
