-- gettable and settable on a tagged table run for every read and write,
-- present keys and new keys alike; raw access and the library do not.
local report = function(m) print("caught: " .. m) end
local watched = newtag()
settagmethod(watched, "gettable", function(t, k)
  print("get", k)
  return rawget(t, k)
end)
settagmethod(watched, "settable", function(t, k, v)
  print("set", k, v)
  rawset(t, k, v)
end)
local w = settag({a = 0}, watched)
w.a = 1
w.a = 2
print(w.a, w.b)
w[1] = "one"
print(w[1], rawget(w, "a"))
rawset(w, "c", 3)
print(rawget(w, "c"))
-- a method call reads the method through gettable
rawset(w, "m", function(self, x) return x * 2 end)
print(w:m(21))
-- nested access: one read of the outer table, then the inner one
local outer = settag({inner = settag({}, watched)}, watched)
outer.inner.z = 5
print(outer.inner.z)
-- gettable wins over index, which is never asked
settagmethod(watched, "index", function(t, k) print("index", k) return "from index" end)
print(w.missing)
-- the library reads and writes raw
print(getn(w), foreachi(w, function(i, v) return i .. "=" .. v end))
tinsert(w, "two")
print(rawget(w, 2), w.n)
-- several targets in one assignment, and a table traversal, which is raw
w.a, w.b = "A", "B"
for k, v in settag({only = 1}, watched) do print(k, v) end

-- a settable that raises stops the write: a read-only table
local readonly = newtag()
settagmethod(readonly, "settable", function(t, k, v)
  error("cannot write " .. k .. " of a read-only table")
end)
local config = settag({size = 10}, readonly)
print(call(function() %config.size = 20 end, {}, "x", report))
print(call(function() %config.colour = "red" end, {}, "x", report))
print(config.size, config.colour)
-- a settable that stores elsewhere leaves the table empty
local store = {}
local proxy = newtag()
settagmethod(proxy, "settable", function(t, k, v) %store[k] = v end)
settagmethod(proxy, "gettable", function(t, k) return %store[k] end)
local p = settag({}, proxy)
p.x = 1
p.x = nil
p.y = "why"
print(p.x, p.y, rawget(p, "y"), store.y)
-- the result of gettable is the value, whatever the table holds
local counter = newtag()
settagmethod(counter, "gettable", function(t, k)
  local n = rawget(t, k) or 0
  rawset(t, k, n + 1)
  return n
end)
local c = settag({}, counter)
print(c.hits, c.hits, c.hits, c[7])
exit(0)
