-- Multiple results: parentheses keep them all, constructors take one.
function f() return 1, 2, 3 end
print((f()))
local a, b = (f())
print(a, b)
function g() return (f()) end
print(g())
print(getn({f()}), getn({f(), f()}), getn({(f())}))
print(f(), "x")
local x, y, z, w = f()
print(x, y, z, w)
print(call(f, {}))
print(format("%d %d", f()))
print(strfind("abc", "b"), "after")
t = {}
t.a, t.b = f()
print(t.a, t.b)
function none() end
print(none(), "x", none())
exit(0)
