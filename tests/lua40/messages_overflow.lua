-- Endless recursion is "stack overflow" whatever it goes through: plain
-- calls, tag methods, library callbacks, call and dostring.
local report = function(m) print("caught: " .. m) end
function deeper(n) return deeper(n + 1) end
function grow(n) return 1 + grow(n + 1) end
call(deeper, {1}, "x", report)
call(grow, {1}, "x", report)
local selfish = newtag()
settagmethod(selfish, "index", function(t, k) return t[k] end)
call(function() return settag({}, %selfish).missing end, {}, "x", report)
local loop = newtag()
settagmethod(loop, "gettable", function(t, k) return t[k] end)
call(function() return settag({}, %loop).any end, {}, "x", report)
settagmethod(loop, "settable", function(t, k, v) t[k] = v end)
call(function() settag({}, %loop).any = 1 end, {}, "x", report)
local adder = newtag()
settagmethod(adder, "add", function(a, b) return a + b end)
call(function() return settag({}, %adder) + 1 end, {}, "x", report)
function expand(s) return gsub(s, "(%w)", expand) end
call(expand, {"abc"}, "x", report)
function visit(k, t) return foreach(t, visit) end
local cycle = {}
cycle.self = cycle
call(visit, {"root", cycle}, "x", report)
function again() return call(again, {}) end
call(again, {}, "x", report)
function nest() return dostring("return nest()") end
call(nest, {}, "x", report)
exit(0)
