-- Names longer than 4.0 prints: a message shows 40 bytes of a variable's
-- name, a traceback and an event message 50 bytes of a function's or event's.
E = _ERRORMESSAGE
function f(x) local a_name_that_runs_well_past_forty_and_fifty_bytes_of_text = x return a_name_that_runs_well_past_forty_and_fifty_bytes_of_text + 1 end
call(f, {nil}, "x", E)
call(function() return a_name_that_runs_well_past_forty_and_fifty_bytes_of_text .. "!" end, {}, "x", E)
T = {}
call(function() return T.a_name_that_runs_well_past_forty_and_fifty_bytes_of_text.y end, {}, "x", E)
function T:a_name_that_runs_well_past_forty_and_fifty_bytes_of_text() error("from a long method name") end
function a_name_that_runs_well_past_forty_and_fifty_bytes_of_text() T:a_name_that_runs_well_past_forty_and_fifty_bytes_of_text() end
call(a_name_that_runs_well_past_forty_and_fifty_bytes_of_text, {}, "x", E)
local tg = newtag()
print(call(settagmethod, {tg, "a_name_that_runs_well_past_forty_and_fifty_bytes_of_text", print}, "x", function(m) print(m) end))
exit(0)
