-- Methods set after the tables they act on exist: tables held by globals,
-- locals, upvalues, other tables and table keys all follow.
local report = function(m) print("caught: " .. m) end
local T = newtag()
local held = settag({a = 1}, T)
keeper = {inner = settag({b = 2}, T)}
local asKey = settag({}, T)
local byKey = {[asKey] = "found by key"}
local view = function() return %held.a end
settagmethod(T, "gettable", function(t, k) return "get " .. k .. "=" .. tostring(rawget(t, k)) end)
print(held.a, keeper.inner.b, view(), byKey[asKey])
print(asKey.x, rawget(held, "a"), getn(settag({1, 2, 3}, T)), tag(held) == T)
-- the library reads the contents raw
local list = settag({"c", "a", "b"}, T)
sort(list)
tinsert(list, "d")
print(rawget(list, 1), rawget(list, 2), rawget(list, 3), rawget(list, 4), tremove(list))
foreach(held, print)
foreachi(list, print)
print(next(held), call(function(x, y) return x .. y end, settag({"x", "y"}, T)))
for k, v in held do print("for", k, v) end
-- a table leaves the tag: its contents are its own again
local other = newtag()
settag(held, other)
print(held.a, tag(held) == other)
settag(held, T)
print(held.a)
settagmethod(T, "gettable", nil)
print(held.a, held.missing)
settagmethod(T, "index", function(t, k) return "index " .. k end)
print(held.a, held.missing)

-- the default table tag: tables inside tables, in upvalues and in the
-- locals of a function still running get its methods
local nested = {{{}}}
local deep = function() return %nested[1][1].x end
local running = function(t)
  settagmethod(tag({}), "index", function(t, k) return "default " .. k end)
  return t.x
end
print(running({}), deep(), keeper.y, byKey.z)
settagmethod(tag({}), "index", nil)
local fresh = {}
print(deep(), fresh.x)

-- copying methods copies absent ones too
local A, B = newtag(), newtag()
settagmethod(A, "add", function() return "A add" end)
settagmethod(B, "add", function() return "B add" end)
settagmethod(B, "concat", function() return "B concat" end)
copytagmethods(B, A)
local b = settag({}, B)
print(b + 1, call(function() return %b .. "x" end, {}, "x", report))
exit(0)
