-- Tag methods on new tags and on undefined globals.
local Base = {greet = function(self) return "hello from " .. self.name end}
local cls = newtag()
print(cls, newtag())
settagmethod(cls, "index", function(t, k) return %Base[k] end)
local obj = settag({name = "obj"}, cls)
print(tag(obj) == cls, obj:greet(), obj.missing)
settagmethod(cls, "add", function(a, b, ev) return ev .. ":" .. type(a) .. type(b) end)
print(obj + 1, 2 + obj)
settagmethod(cls, "lt", function(a, b) return a.v < b.v end)
local a, b = settag({v = 1}, cls), settag({v = 2}, cls)
print(a < b, b < a, a <= b, a > b, a >= b)
settagmethod(cls, "function", function(self, x) return "called with " .. x end)
print(obj(5))

settagmethod(tag(nil), "getglobal", function(name, value) return "<" .. name .. ">" end)
print(undefined_thing)
settagmethod(tag(nil), "setglobal", function(name, old, new) rawset(globals(), name, new * 2) end)
newvar = 21
print(rawget(globals(), "newvar"), newvar)

local report = function(m) print("caught: " .. m) end
call(settagmethod, {tag(1), "index", print}, "x", report)
call(settagmethod, {cls, "gc", print}, "x", report)
call(settag, {{}, 99}, "x", report)
exit(0)
