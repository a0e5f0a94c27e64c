#define _GNU_SOURCE
#include "img_parallel.h"

#include <pthread.h>
#include <sched.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <unistd.h>

static atomic_int thread_setting = 0;

void imaging_set_threads(int threads) { atomic_store(&thread_setting, threads > 0 ? threads : 0); }

int imaging_threads(void)
{
    int threads = atomic_load(&thread_setting);
    if (threads > 0) {
        return threads;
    }
    return imaging_usable_cpus();
}

int imaging_usable_cpus(void)
{
    /* A process pinned to some cores (taskset, cgroups) gains nothing from
     * threads beyond them. */
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
        int count = CPU_COUNT(&allowed);
        if (count > 0) {
            return count;
        }
    }
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? (int)online : 1;
}

/* Tasks are handed out one at a time from a shared counter, so a slow band
 * does not hold the others back. */
typedef struct {
    long tasks;
    atomic_long next;
    atomic_int failed;
    int (*run)(long task, void *arg);
    void *arg;
} TaskQueue;

static void *work_through(void *queue_ptr)
{
    TaskQueue *queue = queue_ptr;
    for (;;) {
        long task = atomic_fetch_add(&queue->next, 1);
        if (task >= queue->tasks) {
            return NULL;
        }
        if (!queue->run(task, queue->arg)) {
            atomic_store(&queue->failed, 1);
        }
    }
}

int imaging_parallel(long tasks, int (*run)(long task, void *arg), void *arg)
{
    TaskQueue queue;
    queue.tasks = tasks;
    atomic_init(&queue.next, 0);
    atomic_init(&queue.failed, 0);
    queue.run = run;
    queue.arg = arg;
    long helpers = (long)imaging_threads() - 1;
    if (helpers > tasks - 1) {
        helpers = tasks - 1;
    }
    pthread_t *threads = helpers > 0 ? malloc((size_t)helpers * sizeof *threads) : NULL;
    long started = 0;
    if (threads != NULL) {
        while (started < helpers && pthread_create(&threads[started], NULL, work_through, &queue) == 0) {
            started++;
        }
    }
    work_through(&queue);
    for (long t = 0; t < started; t++) {
        pthread_join(threads[t], NULL);
    }
    free(threads);
    return !atomic_load(&queue.failed);
}

long imaging_band_count(long units, long min_units)
{
    long bands = 4L * imaging_threads();
    long most = min_units > 0 ? units / min_units : units;
    if (bands > most) {
        bands = most;
    }
    return bands > 1 ? bands : 1;
}

void imaging_band(long units, long bands, long band, long *begin, long *end)
{
    *begin = units * band / bands;
    *end = units * (band + 1) / bands;
}
