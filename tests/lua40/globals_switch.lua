-- globals(t) makes t the table of globals for all code at once, already
-- defined functions included, and returns the old table to restore it.
local report = function(m) print("caught: " .. m) end
local switch = globals
marker = "outer"
function readMarker() return marker end
function writeLeak() leaked = "written" end
local outer = globals()
local sandbox = {print = print, tostring = tostring, dostring = dostring, readMarker = readMarker,
  writeLeak = writeLeak, marker = "inner"}
local old = switch(sandbox)
print(old == outer, switch() == sandbox, marker, readMarker())
writeLeak()
newGlobal = "sandboxed"
function definedInside() return marker end
dostring("print('dostring sees', marker) chunkGlobal = 1")
local back = switch(old)
print(back == sandbox, globals() == outer)
print(marker, readMarker(), leaked, newGlobal, sandbox.definedInside(), chunkGlobal)
print(sandbox.leaked, sandbox.newGlobal, sandbox.chunkGlobal, rawget(sandbox, "marker"))
-- the restoring call can come from the old table itself
local saved = globals({marker = "short-lived", readMarker = readMarker})
local seen = readMarker()
saved.globals(saved)
print(seen, readMarker())
-- a sandbox without the library: calls of missing globals fail inside it
local alert = _ALERT
local empty = {}
saved = switch(empty)
saved.call(function() strlen("x") end, {}, "x", function(m) %alert("caught: " .. m .. "\n") end)
switch(saved)
print(getn(empty), empty.strlen)
-- print converts through the tostring global of the current table
local own = {print = print, tostring = function(v) return "<" .. %type(v) .. ">" end}
saved = switch(own)
print(1, "two", nil)
switch(saved)
-- nested switches give back each previous table
local a, b = {}, {}
local s0 = switch(a)
local s1 = switch(b)
local s2 = switch(s0)
print(s0 == outer, s1 == a, s2 == b, globals() == outer)
-- getglobal and setglobal follow the current table
local t = {value = "from t"}
local prev = switch(t)
prev.setglobal("value", "set in t")
local got = prev.getglobal("value")
switch(prev)
print(got, t.value, value)
print(call(globals, {5}, "x", report))
print(call(globals, {n = 1}, "x", report))
exit(0)
