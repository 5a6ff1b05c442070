-- Posts signed scale.weight.up bodies, one distinct reading after another, and counts the answers
-- that say "stored". The bodies come one a line from the file run.sh names in the environment; each
-- thread takes its own share of them, so a reading is sent twice only when a thread has used up
-- its share.

local threads = {}

function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end

function init(args)
  stored = 0
  other = 0
  sent = 0
  bodies = {}
  local count = 0
  for line in io.lines(os.getenv("VYMERA_BENCH_BODIES")) do
    -- Thread n of t takes lines n+1, n+1+t, ...; two threads unless wrk is told otherwise.
    if count % 2 == id then table.insert(bodies, line) end
    count = count + 1
  end
  share = #bodies
  wrk.method = "POST"
  wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
end

function request()
  sent = sent + 1
  return wrk.format(nil, nil, nil, bodies[(sent - 1) % #bodies + 1])
end

function response(status, headers, body)
  if status == 200 and string.find(body, "<scaleup_res>", 1, true) then
    stored = stored + 1
  else
    other = other + 1
  end
end

function done(summary, latency, requests)
  local total_stored, total_other, distinct = 0, 0, 0
  for _, thread in ipairs(threads) do
    local mine = thread:get("stored")
    total_stored = total_stored + mine
    total_other = total_other + thread:get("other")
    -- Each thread's answers are for the first of its bodies, once each until it wrapped around.
    distinct = distinct + math.min(mine, thread:get("share"))
  end
  io.write(string.format("answers scaleup_res: %d\nother answers: %d\n", total_stored, total_other))
  io.write(string.format("distinct readings answered scaleup_res: %d\n", distinct))
end
