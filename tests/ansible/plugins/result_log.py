# Writes every task result of a playbook run as one JSON line to the file
# $MARKOGRAPH_RESULT_LOG, so the fleet test reads results instead of screen text.
import json
import os

from ansible.plugins.callback import CallbackBase


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = 'aggregate'
    CALLBACK_NAME = 'result_log'
    CALLBACK_NEEDS_ENABLED = True

    def _log(self, status, result):
        line = {'host': result._host.get_name(), 'task': result._task.get_name(), 'status': status,
                'result': result._result}
        with open(os.environ['MARKOGRAPH_RESULT_LOG'], 'a') as stream:
            stream.write(json.dumps(line, default=str) + '\n')

    def v2_runner_item_on_ok(self, result):
        self._log('ok', result)

    def v2_runner_item_on_failed(self, result):
        self._log('failed', result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._log('task-failed', result)

    def v2_runner_on_unreachable(self, result):
        self._log('unreachable', result)
