-- A method named `true' or `false' called on what a call returns: the frames,
-- the names and the order of evaluation are 4.0's.
O = {}
O["true"] = function(self, a, b) return "T", self.n, a, b end
function O.get(n) return {n = n, ["true"] = O["true"], x = {}} end
print(O.get(1):true(O.get(2):true(3), O.get(4):true(5)))
O.self = function(self) return self end
O["in"] = function(self, ...) return "in", arg.n end
O["false"] = function(self, x) return "false", x end
print(O:self():self():false(6), O:self():in(1, 2, 3))

-- a gettable method that calls such a method while the outer call waits
local tt = newtag()
local obj = settag({}, tt)
settagmethod(tt, "gettable", function(t, k)
  return function(self, x) return "gt", x, O.get(7):true(8) end
end)
function f() return %obj end
print(f():true(9), f():false(10))

-- an index method of nil serves them too
settagmethod(tag(nil), "gettable", function(t, k)
  return function(s, a) return "nil method", %k, a end
end)
print(O.get(1).y:true(11))
settagmethod(tag(nil), "gettable", nil)

-- failures, with their tracebacks
function s() return "str" end
O.bad = {["true"] = function(self, a) error("in true " .. a) end}
function O.getbad() return O.bad end
call(function() return O.getbad():true(1) end, {}, "x", _ERRORMESSAGE)
call(function() local a = O.get(1):false(2) end, {}, "x", _ERRORMESSAGE)
call(function() return O.get(1).y:true() end, {}, "x", _ERRORMESSAGE)
call(function() return O.get(1)[1]:true() end, {}, "x", _ERRORMESSAGE)
call(function() return O.get(1).n:true() end, {}, "x", _ERRORMESSAGE)
call(function() return s():true() end, {}, "x", _ERRORMESSAGE)
call(function() return O.get(1).x:true() end, {}, "x", _ERRORMESSAGE)
O.getbad():true(2)
-- runs on
