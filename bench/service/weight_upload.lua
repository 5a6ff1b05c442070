-- Posts one signed scale.weight.up body over and over and counts the answers that say "stored".
-- The body comes from the environment, built by run.sh.

local threads = {}

function setup(thread)
  table.insert(threads, thread)
end

function init(args)
  stored = 0
  other = 0
  wrk.method = "POST"
  wrk.body = os.getenv("VYMERA_BENCH_BODY")
  wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
end

function response(status, headers, body)
  if status == 200 and string.find(body, "<scaleup_res>", 1, true) then
    stored = stored + 1
  else
    other = other + 1
  end
end

function done(summary, latency, requests)
  local total_stored, total_other = 0, 0
  for _, thread in ipairs(threads) do
    total_stored = total_stored + thread:get("stored")
    total_other = total_other + thread:get("other")
  end
  io.write(string.format("answers scaleup_res: %d\nother answers: %d\n", total_stored, total_other))
end
