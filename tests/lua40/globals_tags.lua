-- The table of globals with tags of its own and with get/setglobal methods
-- while another table is installed.
local report = function(m) print("caught: " .. m) end
local switch = globals
local traced = newtag()
settagmethod(traced, "getglobal", function(name, v) print("read " .. name) return v end)
local sandbox = {print = print, tostring = tostring, value = settag({n = 1}, traced), rawget = rawget, globals = globals}
local old = globals(sandbox)
print(value.n)
print(rawget(globals(), "value").n)
globals(old)
print(old == globals(), value)
-- reading a field of the table of globals is a table access, no global one
value = settag({n = 2}, traced)
print(globals().value.n, getglobal("value").n)
settagmethod(traced, "getglobal", nil)
-- a gettable method on the table of globals: global access stays raw
local G = newtag()
settagmethod(G, "gettable", function(t, k) return "gettable " .. k end)
settagmethod(G, "index", function(t, k) return "index " .. k end)
local t = settag({present = "raw"}, G)
local saved = switch(t)
local seen, absent = present, missing
switch(saved)
print(seen, absent, t.present, t.missing)
settag(globals(), G)
print(globals().print == print, print ~= nil, globals().anything)
settag(globals(), newtag())
-- the default table tag's index applies to the table of globals as a table
settagmethod(tag({}), "index", function(t, k) return "default " .. k end)
print(globals().nothing, nothing, getglobal("nothing"), rawget(globals(), "nothing"))
settagmethod(tag({}), "index", nil)
-- setglobal for functions while a sandbox is current
settagmethod(tag(print), "setglobal", function(name, old, new) print("keeping " .. name) end)
local box = {print = print, tostring = tostring, f = print}
saved = switch(box)
f = 1
print(f == print)
switch(saved)
settagmethod(tag(print), "setglobal", nil)
for k, v in box do if k == "f" then print("box", k, v == print) end end
exit(0)
