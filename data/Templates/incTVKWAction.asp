<%
'*******************************************************************************
' incTVKWAction.asp - data action routines of the pages written by TVK Wizard
'
' Included by the list and form pages that add, update or delete records,
' always together with incTVKWDisplay.asp, whose value routines these use.
' They read the posted field values for the insert and update routines and
' show the field errors those routines collect.
'
' Name the page declares and this file uses: mDictFieldErrors (a dictionary
' of field name -> error text, or Nothing / Empty when there are none).
'*******************************************************************************

Function gfbEmpty(vValue)
	' True when a posted value is empty or holds only blanks.
	gfbEmpty = (Len(Trim(gfsPlainText(vValue))) = 0)
End Function

Function gfvEmptyToNull(vValue)
	' The posted value as it stands, or Null when it is empty (gfbEmpty), so
	' that an optional field left blank is stored as Null.
	If gfbEmpty(vValue) Then
		gfvEmptyToNull = Null
	Else
		gfvEmptyToNull = gfvPlainValue(vValue)
	End If
End Function

Function gfbRequestValue(sFieldName)
	' The Boolean value of a posted check box: True when it was ticked (a
	' ticked box posts its VALUE, "1"), False when it was not posted at all.
	' Only the posted form counts: a change never takes its values from the URL.
	gfbRequestValue = gfbBooleanValue(Request.Form(sFieldName))
End Function

Function gfsFieldError(sFieldName)
	' The error collected for a field by the last insert or update, as HTML,
	' or "" when the field has none.
	gfsFieldError = ""
	If Not IsObject(mDictFieldErrors) Then Exit Function
	If mDictFieldErrors Is Nothing Then Exit Function
	If mDictFieldErrors.Exists(sFieldName) Then
		gfsFieldError = "<SPAN CLASS=""FieldError"">" & gfsHTMLEncode(mDictFieldErrors(sFieldName)) & "</SPAN>"
	End If
End Function
%>