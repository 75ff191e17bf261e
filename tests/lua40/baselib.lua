-- getn, tinsert and tremove follow the n field.
print(getn({1, 2, nil, 4}), getn({1, 2, 3; n = 2}), getn({[2.5] = 1, [5] = 1}), getn({}))
local t = {}
tinsert(t, "a")
tinsert(t, "b")
tinsert(t, 1, "z")
print(t.n, t[1], t[2], t[3])
print(tremove(t), t.n, tremove(t, 1), t.n, t[1])
local h = {n = 5}
tinsert(h, "x")
print(h.n, h[6])

-- foreachi stops at n; sort goes by getn
print(foreachi({1, 2, 3; n = 2}, function(i, v) write(i, ",") end))
local s = {5, 2, 8, 1; n = 3}
sort(s)
print(s[1], s[2], s[3], s[4])

-- results of dostring and call; tags; swapping the globals table
print(type(dostring("x = 1")), tostring(dostring("y = 2")))
print(call(function(a, b, c) return a + b, c end, {1, 2; n = 3}))
print(_VERSION, tag(nil), tag(1), tag("s"), tag({}), tag(print), tag(tag))
setglobal("sg", 42)
local saved = globals({print = print, tostring = tostring, globals = globals, marker = "sandbox"})
print(marker, sg)
local sandbox = globals(saved)
print(marker, sg, sandbox.marker)
print(assert(1))
exit(0)
