#!/bin/bash
# The parts of one plan as a Slurm job array: task K exports part K.
# Make the plan first on the login node (it holds the snapshot until the parts have reported):
#   morvale-export --db "$DB" --table orders --type csv -o /shared/orders.csv --manifest \
#       --plan 32 --plan-file /shared/plan.json &
#   sbatch slurm-array.sbatch
#SBATCH --job-name=orders-export
#SBATCH --array=1-32
#SBATCH --cpus-per-task=1
#SBATCH --mem=256M
#SBATCH --output=/shared/orders-part-%a.log
cd /shared
exec morvale-export --db "$DB" --table orders --type csv \
    --part "${SLURM_ARRAY_TASK_ID}/32" --plan-file /shared/plan.json
