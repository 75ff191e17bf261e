-- _ALERT and _ERRORMESSAGE check their argument as 4.0's do (a string, or
-- a number written as 4.0 writes numbers); called by a script,
-- _ERRORMESSAGE traces back from its caller.
local report = function(m) print("caught: " .. m) end
_ALERT("text\n")
_ALERT(12)
_ALERT(1/3)
_ALERT("\ncut\0here\n")
call(_ALERT, {}, "x", report)
call(_ALERT, {nil; n = 1}, "x", report)
call(_ALERT, {{}}, "x", report)
_ERRORMESSAGE(5)
function reportHere() _ERRORMESSAGE("reported") end
reportHere()
call(_ERRORMESSAGE, {{}}, "x")
call(_ERRORMESSAGE, {}, "x", report)
call(function() _ERRORMESSAGE(nil) end, {}, "x", report)
call(function() _ERRORMESSAGE() end, {}, "x")
exit(0)
