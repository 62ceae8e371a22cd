-- wrk script: prints the run's totals on one line for scripts/bench to read.
-- "status" counts answers other than 2xx and 3xx; connect, read, write and
-- timeout count socket errors.
done = function(summary, latency, requests)
  local e = summary.errors
  io.write(string.format("requests=%d duration_us=%d connect=%d read=%d write=%d status=%d timeout=%d\n",
    summary.requests, summary.duration, e.connect, e.read, e.write, e.status, e.timeout))
end
