# -*- coding: utf-8 -*-
# Running v7ctl for the modules: its JSON answer, its exit code's meaning, the
# host root it works on.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import os

# v7ctl's exit codes as a playbook can branch on them.
REASONS = {
    1: 'failed',
    2: 'usage',
    3: 'drivers-not-running',
    4: 'no-such-profile',
    5: 'refused',
    6: 'timed-out',
}

COMMON_OPTIONS = dict(
    root=dict(type='path'),
    v7ctl=dict(type='path'),
)


def module_options(**options):
    merged = dict(COMMON_OPTIONS)
    merged.update(options)
    return merged


def json_keys(value):
    """v7ctl's field names ("login-name") as a playbook writes them (login_name)."""
    if isinstance(value, dict):
        return dict((key.replace('-', '_'), json_keys(item)) for key, item in value.items())
    if isinstance(value, list):
        return [json_keys(item) for item in value]
    return value


class V7ctl(object):
    def __init__(self, module):
        self.module = module
        self.program = module.params['v7ctl'] or module.get_bin_path('v7ctl', required=True)
        self.environ = {}
        # Whether a verb of this task changed something: a later failure says so too.
        self.changed = False
        root = module.params['root']
        if root:
            # v7ctl reads a missing root as an empty registry: its answers
            # would be defaults, not the host's.
            if not os.path.isdir(root):
                module.fail_json(msg='there is no host root at %s (run v7-host init)' % root, rc=1, reason=REASONS[1])
            self.environ['V7_HOST_ROOT'] = root

    def call(self, args, changing=False, data=None, allowed=(0,)):
        """Runs v7ctl --json with args and returns (exit code, answer). A
        changing verb gets --check in check mode. An exit code outside
        `allowed` fails the task with v7ctl's message and the code's meaning."""
        # Before the verb: after it, a "--" could end the options.
        check = ['--check'] if changing and self.module.check_mode else []
        command = [self.program, '--json'] + check + list(args)
        rc, out, err = self.module.run_command(command, environ_update=self.environ, data=data,
                                               binary_data=True)
        try:
            answer = json.loads(out)
            if not isinstance(answer, dict):
                raise ValueError('not an object')
        except ValueError:
            self.module.fail_json(msg='v7ctl gave no JSON answer: %s' % (err.strip() or out.strip()),
                                  rc=rc, reason=REASONS.get(rc, 'failed'), cmd=command, stdout=out, stderr=err)
        if rc not in allowed:
            error = answer.get('error') or {}
            self.module.fail_json(msg=error.get('message') or err.strip() or 'v7ctl failed',
                                  rc=rc, reason=REASONS.get(rc, 'failed'), cmd=command,
                                  changed=self.changed or bool(answer.get('changed')), stderr=err)
        return rc, answer

    def change(self, args, data=None):
        """A changing verb: its answer, which names whether it changed something."""
        answer = self.call(args, changing=True, data=data)[1]
        self.changed = self.changed or answer['changed']
        return answer
