-- A function called through an index that is no constant string has no name
-- from its call: 4.0 shows it as a global if one holds it, or by its line.
E = _ERRORMESSAGE
local lf = function(x) return x.y end
function byIndex(x) local a = {%lf} return a[1](x) end
call(byIndex, {1}, "x", E)
Handlers = {}
Handlers.click = function(x) return x.y end
function byKey(x) local k = "click" return Handlers[k](x) end
call(byKey, {1}, "x", E)
function onlyGlobal(x) return x.y end
function byGlobalInTable(x) local list = {onlyGlobal} return list[1](x) end
call(byGlobalInTable, {1}, "x", E)
-- a constant key names it as a method
function byConstant(x) return Handlers["click"](x) end
call(byConstant, {1}, "x", E)
exit(0)
