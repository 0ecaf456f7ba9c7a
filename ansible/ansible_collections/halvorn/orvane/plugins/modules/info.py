# -*- coding: utf-8 -*-
# What a host's V7 Station is and has, as facts.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: info
short_description: The V7 Station's status, options, user profiles and driver versions as facts
description:
  - Reads C(v7ctl status), C(options), C(users) and C(version) and sets the fact C(v7) with them,
    field names written with underscores (C(current_user), C(login_name)).
  - Drivers that are not running or do not answer are no failure here; C(v7.status.drivers) says so,
    and C(v7.status.remembered) is then true, the state being only the last one recorded.
version_added: 1.20.0
extends_documentation_fragment:
  - halvorn.orvane.v7ctl
attributes:
  check_mode:
    support: full
  diff_mode:
    support: none
  facts:
    support: full
author:
  - Halvorn
'''

EXAMPLES = r'''
- name: Read the station
  halvorn.orvane.info:

- name: Who is at the station
  ansible.builtin.debug:
    msg: "{{ v7.status.current_user or 'nobody' }} at {{ v7.status.station }} ({{ v7.status.state }})"
'''

RETURN = r'''
ansible_facts:
  description: The fact C(v7).
  returned: always
  type: complex
  contains:
    v7:
      description: The station and its host.
      type: complex
      contains:
        status:
          description: C(station), C(state) (on, off), C(remembered), C(current_user) (null when nobody is
            logged on), C(drivers) (running, not-running, not-answering), C(autolaunch), C(shutdown_requests).
          type: dict
          sample: {station: Station1, state: "on", remembered: false, current_user: Anna, drivers: running,
                   autolaunch: "off", shutdown_requests: allow}
        options:
          description: The options under the names the options module takes.
          type: dict
          sample: {autolaunch: "off", shutdown_requests: allow, login_name: User1,
                   display: "640 x 480, 256 colors", refresh: 60}
        users:
          description: The user names of the system's profile list, sorted.
          type: list
          elements: str
          sample: [Anna, Bertil]
        versions:
          description: C(program), the control center's version, and C(drivers), each driver's C(file),
            C(loaded) version (null when not loaded) and C(file_version).
          type: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvorn.orvane.plugins.module_utils.v7ctl import V7ctl, module_options, json_keys

DRIVERS_AWAY = (0, 3, 5, 6)  # status still answers with the registry's last record


def main():
    module = AnsibleModule(argument_spec=module_options(), supports_check_mode=True)
    v7ctl = V7ctl(module)
    status = json_keys(v7ctl.call(['status'], allowed=DRIVERS_AWAY)[1])
    status.pop('error', None)
    # No profile at all is exit code 1 with an empty list.
    users = v7ctl.call(['users'], allowed=(0, 1))[1]
    facts = dict(status=status,
                 options=json_keys(v7ctl.call(['options'])[1]),
                 users=users.get('users', []),
                 versions=json_keys(v7ctl.call(['version'])[1]))
    module.exit_json(changed=False, ansible_facts=dict(v7=facts))


if __name__ == '__main__':
    main()
