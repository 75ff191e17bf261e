-- `true', `false' and `in' are names in 4.0, methods included.
local report = function(m) write(m, "\n") end
o = {n = 1}
function o:true(x) return self.n + (x or 0) end
function o:in(...) return arg.n, self.n * 10 end
function o.false(self) error("inside false") end
h = {o = o}
function get() return %o end
print(o:true(), o:true(2), h.o:true(3), get():true(4), h.o:in(nil, nil))
print(o:in{1}, o:in"s", o:true(o:true(
  5)))
local f = function() return %o:true(5), %o:in() end
print(f())
true = o
print(true:true(6), true:in())

-- their failures name what 4.0 names
call(function() o:false() end, {}, "x", report)
call(function() return h.x:true() end, {}, "x", report)
call(function() return nosuch:true() end, {}, "x", report)
call(function() local l; return l:in() end, {}, "x", report)
call(function() return h:false() end, {}, "x", report)
call(function() return get():in(nil + 1) end, {}, "x", report)
o:false()
-- runs on
